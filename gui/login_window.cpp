#include "login_window.h"

#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkCookie>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <memory>
#include <optional>

#include "gui_program.h"
#include "qt_text.h"

namespace fotolun::gui {

namespace {

// A page busy with a script or a slow load answers late; a sign-in must not hang on it.
constexpr int kCookieTimeoutMs = 5000;

constexpr int kWidth = 1016, kHeight = 616;
// Narrower, the album-access button (right edge 880) would be cut; lower, the page would be a strip.
constexpr int kMinimumWidth = 900, kMinimumHeight = 400;

struct ControlSpec {
  LoginControl id;
  const char* name;
  const char* caption;
  int left, top, width, height;
};

constexpr ControlSpec kControls[] = {
    {LoginControl::编辑框1, "编辑框1", "", 0, 8, 904, 30},
    {LoginControl::按钮_打开网址, "按钮_打开网址", "打开网址", 908, 7, 80, 31},
    {LoginControl::标签_登录提示, "标签_登录提示", "温馨提示：登录成功后 关闭本窗口就行了！", 4, 44, 420, 28},
    {LoginControl::按钮_登录成功, "按钮_登录成功", "成功登录后，点击这里关闭本窗口", 432, 48, 192, 48},
    {LoginControl::标签_相册授权, "标签_相册授权", "成功进入有密码的相册以后，点击右侧按钮关闭本窗口", 14, 65,
     416, 29},
    {LoginControl::按钮_相册授权, "按钮_相册授权", "进入了有密码的相册，点击这里关闭窗口", 632, 48, 248, 48},
    {LoginControl::超文本浏览框1, "超文本浏览框1", "", 0, 104, 992, 496},
};

}  // namespace

LoginWindow::LoginWindow(Program& program, const Text& address) : program_(program) {
  setObjectName(QStringLiteral("LoginWindow"));
  setGeometry(50, 50, kWidth, kHeight);
  setMinimumSize(kMinimumWidth, kMinimumHeight);
  setModal(true);
  for (const ControlSpec& spec : kControls) {
    const QString caption = QString::fromUtf8(spec.caption);
    QWidget* widget = nullptr;
    switch (spec.id) {
      case LoginControl::编辑框1:
        widget = new QLineEdit(this);
        break;
      case LoginControl::按钮_打开网址:
      case LoginControl::按钮_登录成功:
      case LoginControl::按钮_相册授权:
        widget = new QPushButton(caption, this);
        static_cast<QPushButton*>(widget)->setAutoDefault(false);
        break;
      case LoginControl::标签_登录提示:
      case LoginControl::标签_相册授权: {
        auto* label = new QLabel(caption, this);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        widget = label;
        break;
      }
      case LoginControl::超文本浏览框1:
        widget = new QWebEngineView(this);
        break;
    }
    widget->setObjectName(QString::fromUtf8(spec.name));
    widget->setGeometry(spec.left, spec.top, spec.width, spec.height);
    controls_[static_cast<std::size_t>(spec.id)] = widget;
  }

  // The browser trusts the program's CA file as the program's own requests do: a certificate it
  // refuses only for its issuer is taken when it checks out against that file; nothing else is.
  connect(browser()->page(), &QWebEnginePage::certificateError, this,
          [this](QWebEngineCertificateError error) {
            const bool issuerOnly = error.type() == QWebEngineCertificateError::CertificateAuthorityInvalid;
            if (!program_.caFile.empty() && issuerOnly &&
                browserMayAccept(error.certificateChain(), error.url().host())) {
              error.acceptCertificate();
            } else {
              error.rejectCertificate();
            }
          });
  // The store tells of every cookie, script-hidden ones too (p_skey is set HttpOnly), as it
  // changes; those already there when the window opens come with loadAllCookies.
  QWebEngineCookieStore* store = browser()->page()->profile()->cookieStore();
  const auto cookieOf = [](const QNetworkCookie& cookie) {
    return BrowserCookie{toGbk(QString::fromUtf8(cookie.name())), toGbk(QString::fromUtf8(cookie.value())),
                         toGbk(cookie.domain())};
  };
  connect(store, &QWebEngineCookieStore::cookieAdded, this, [this, cookieOf](const QNetworkCookie& cookie) {
    cookieJar_.added(cookieOf(cookie), toGbk(cookie.path()));
  });
  connect(store, &QWebEngineCookieStore::cookieRemoved, this, [this, cookieOf](const QNetworkCookie& cookie) {
    cookieJar_.removed(cookieOf(cookie), toGbk(cookie.path()));
  });
  store->loadAllCookies();
  connect(static_cast<QPushButton*>(control(LoginControl::按钮_打开网址)), &QPushButton::clicked, this,
          [this] { openAddress(static_cast<QLineEdit*>(control(LoginControl::编辑框1))->text()); });
  connect(static_cast<QPushButton*>(control(LoginControl::按钮_登录成功)), &QPushButton::clicked, this,
          [this] { signInDone(); });
  connect(static_cast<QPushButton*>(control(LoginControl::按钮_相册授权)), &QPushButton::clicked, this,
          [this] { close(); });

  const QString start = fromGbk(address);
  openAddress(start);
  static_cast<QLineEdit*>(control(LoginControl::编辑框1))->setText(start);
  // A protected album's page is recognised by its path, and only in lower case.
  const bool albumAccess = FindText(address, "photo") > 0;
  setWindowTitle(albumAccess ? QStringLiteral("进入有密码的相册") : QStringLiteral("登录QQ空间"));
  control(albumAccess ? LoginControl::按钮_登录成功 : LoginControl::按钮_相册授权)->hide();
  control(albumAccess ? LoginControl::标签_登录提示 : LoginControl::标签_相册授权)->hide();
}

QWebEngineView* LoginWindow::browser() const {
  return static_cast<QWebEngineView*>(control(LoginControl::超文本浏览框1));
}

void LoginWindow::openAddress(const QString& address) { browser()->setUrl(QUrl::fromUserInput(address)); }

Text LoginWindow::documentCookie() {
  // runJavaScript answers later, from the event loop; the shared result outlives a late answer.
  auto result = std::make_shared<std::optional<QString>>();
  QEventLoop loop;
  QPointer<QEventLoop> waiting(&loop);
  browser()->page()->runJavaScript(QStringLiteral("document.cookie"),
                                   [result, waiting](const QVariant& value) {
                                     *result = value.toString();
                                     if (waiting) waiting->quit();
                                   });
  if (!result->has_value()) {
    QTimer::singleShot(kCookieTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return toGbk(result->value_or(QString()));
}

Text LoginWindow::storeCookies() { return cookieJar_.serviceCookieText(); }

void LoginWindow::readCredentials(bool sayWhenNone) {
  ++credentialReads_;
  readSessionCredentials(program_, *this, sayWhenNone);
}

void LoginWindow::signInDone() {
  // Closing reads the cookies once more, and says so if there are none then.
  readCredentials(false);
  close();
  program_.form.appendLog(Utf8ToGbk("登录完成，点击第二步，获取相册列表\r\n"));
}

void LoginWindow::done(int result) {
  // Reading the cookies runs a nested event loop, in which a second close may arrive.
  if (closing_) return;
  closing_ = true;
  readCredentials();
  QDialog::done(result);
  closing_ = false;
}

void LoginWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const int w = width();
  QWidget* open = control(LoginControl::按钮_打开网址);
  open->move(w - open->width() - 20, open->y());
  QWidget* address = control(LoginControl::编辑框1);
  address->resize(open->x() - 20, address->height());
  // The page takes the added height too, keeping the inventory's margin below it.
  const ControlSpec& page = kControls[static_cast<std::size_t>(LoginControl::超文本浏览框1)];
  QWidget* view = control(LoginControl::超文本浏览框1);
  view->resize(w - 20, height() - page.top - (kHeight - page.top - page.height));
}

}  // namespace fotolun::gui
