#pragma once
// The sign-in window: a browser on the service's pages whose document cookies become the session
// once the user has signed in (or answered a protected album's question) and closes it.
#include <QDialog>
#include <array>

#include "app/read_session_credentials.h"
#include "session/browser_cookies.h"

class QWebEngineView;

namespace fotolun::gui {

enum class LoginControl {
  编辑框1,
  按钮_打开网址,
  标签_登录提示,
  按钮_登录成功,
  标签_相册授权,
  按钮_相册授权,
  超文本浏览框1
};

class LoginWindow final : public QDialog, public SessionBrowser {
 public:
  // Opens address at once; the mode follows from it.
  LoginWindow(Program& program, const Text& address);

  // document.cookie of the page shown, GBK; "" when the page gives none in time.
  Text documentCookie() override;
  // The service's cookies the browser's store holds, HttpOnly ones included, GBK.
  Text storeCookies() override;

  QWidget* control(LoginControl c) const { return controls_[static_cast<std::size_t>(c)]; }
  QWebEngineView* browser() const;
  // How often the credentials were read from this window.
  int credentialReads() const { return credentialReads_; }

  // Every way of closing (either button, the close box, Escape) ends here.
  void done(int result) override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void readCredentials(bool sayWhenNone = true);
  void openAddress(const QString& address);
  void signInDone();

  Program& program_;
  BrowserCookieJar cookieJar_;
  std::array<QWidget*, 7> controls_{};
  int credentialReads_ = 0;
  bool closing_ = false;
};

}  // namespace fotolun::gui
