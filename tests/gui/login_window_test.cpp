// The login window on QtWebEngine: its two modes and titles, its layout rule, and the session read from the
// cookies the stand-in's sign-in page sets in the browser.
#include "login_window.h"

#include <QLineEdit>
#include <QTest>
#include <QWebEngineView>

#include "gui_world.h"
#include "qt_text.h"
#include "standin/sign_in_cookies.h"
#include "text/encoding.h"

namespace fotolun::testing {
namespace {

using gui::LoginControl;
using gui::LoginWindow;

bool shown(LoginWindow& login, LoginControl c) { return !login.control(c)->isHidden(); }

// Types address into the window's address box, presses 打开网址 and waits for that page. A load
// still running when the button is pressed ends too, unsuccessfully.
bool openPage(LoginWindow& login, const QString& address) {
  auto* box = static_cast<QLineEdit*>(login.control(LoginControl::编辑框1));
  box->clear();
  QTest::keyClicks(box, address);
  bool loaded = false;
  const auto connection = QObject::connect(login.browser(), &QWebEngineView::loadFinished, [&](bool ok) {
    loaded = loaded || (ok && login.browser()->url() == QUrl(address));
  });
  QTest::mouseClick(login.control(LoginControl::按钮_打开网址), Qt::LeftButton);
  const bool done = waitFor([&] { return loaded; }, 20000);
  QObject::disconnect(connection);
  return done;
}

TEST_F(GuiTest, LoginWindowModeFollowsTheAddressAndItsLayoutTheWidth) {
  startProgram();
  LoginWindow window(gui->program(), "http://user.qzone.qq.com/");
  EXPECT_TRUE(shown(window, LoginControl::按钮_登录成功) && shown(window, LoginControl::标签_登录提示));
  EXPECT_FALSE(shown(window, LoginControl::按钮_相册授权) || shown(window, LoginControl::标签_相册授权));
  EXPECT_EQ(static_cast<QLineEdit*>(window.control(LoginControl::编辑框1))->text(),
            QStringLiteral("http://user.qzone.qq.com/"));
  LoginWindow capital(gui->program(), "http://user.qzone.qq.com/1/Photo/");
  EXPECT_TRUE(shown(capital, LoginControl::按钮_登录成功));

  EXPECT_EQ(window.windowTitle(), QStringLiteral("登录QQ空间"));
  EXPECT_EQ(LoginWindow(gui->program(), "http://user.qzone.qq.com/1/photo/").windowTitle(),
            QStringLiteral("进入有密码的相册"));

  // The page takes the room in both directions; below the smallest size the buttons would be cut.
  window.show();
  for (const auto& [asked, shownSize] :
       {std::pair{QSize(1200, 700), QSize(1200, 700)}, std::pair{QSize(600, 300), QSize(900, 400)}}) {
    window.resize(asked);
    QTest::qWait(0);
    const int w = shownSize.width(), h = shownSize.height();
    EXPECT_EQ(window.size(), shownSize);
    EXPECT_EQ(window.control(LoginControl::按钮_打开网址)->geometry(), QRect(w - 80 - 20, 7, 80, 31));
    EXPECT_EQ(window.control(LoginControl::编辑框1)->geometry(), QRect(0, 8, w - 80 - 40, 30));
    EXPECT_EQ(window.control(LoginControl::超文本浏览框1)->geometry(), QRect(0, 104, w - 20, h - 120));
    EXPECT_LE(window.control(LoginControl::按钮_登录成功)->geometry().right(), w);
  }

  // 按钮1 opens the owner's photo page, where only the album button closes the window.
  const std::string qq = standin.data().ordinaryAccount().qq;
  gui->form().setText(Control::编辑框_号码, qq);
  bool albumMode = false;
  options.onLoginWindowShown = [&](LoginWindow& login) {
    albumMode = shown(login, LoginControl::按钮_相册授权) && shown(login, LoginControl::标签_相册授权) &&
                !shown(login, LoginControl::按钮_登录成功) && !shown(login, LoginControl::标签_登录提示);
    QTest::mouseClick(login.control(LoginControl::按钮_相册授权), Qt::LeftButton);
  };
  gui.reset();
  startProgram();
  gui->form().setText(Control::编辑框_号码, qq);
  click(Control::按钮1);
  EXPECT_TRUE(albumMode);
  EXPECT_EQ(gui->program().loginAddress, "http://user.qzone.qq.com/" + qq + "/photo/");
}

TEST_F(GuiTest, SignInInTheBrowserBecomesTheSessionHoweverTheWindowCloses) {
  const std::string qq = standin.data().ordinaryAccount().qq;
  const std::string expected = standin.signInCookieText(qq);
  std::string readInBrowser;
  int reads = 0;
  bool viaButton = false;
  options.onLoginWindowShown = [&](LoginWindow& login) {
    if (!viaButton) {
      EXPECT_TRUE(openPage(login, QString::fromStdString("http://user.qzone.qq.com/?login=" + qq)));
      readInBrowser = login.documentCookie();
      login.close();  // the close box
    } else {
      QTest::mouseClick(login.control(LoginControl::按钮_登录成功), Qt::LeftButton);
    }
    reads = login.credentialReads();
  };
  startProgram();

  click(Control::按钮_登录);
  EXPECT_EQ(readInBrowser, expected);
  EXPECT_EQ(reads, 1);
  EXPECT_EQ(gui->program().credentials.get().cookieText, expected);
  EXPECT_EQ(gui->program().credentials.get().uin, qq);
  EXPECT_EQ(log().find("登录完成"), std::string::npos);

  // The browser keeps the session; the button reads it twice and says so once.
  gui->program().credentials.set({});
  viaButton = true;
  click(Control::按钮_登录);
  EXPECT_EQ(reads, 2);
  EXPECT_EQ(gui->program().credentials.get().cookieText, expected);
  EXPECT_EQ(log(), "操作记录.........登录完成，点击第二步，获取相册列表\r\n");

  // A p_skey set HttpOnly is out of document.cookie's reach: the cookie store still has it.
  const std::string pSkey = "p_skey=" + standin::PSkeyFor(standin.data().seed(), qq);
  viaButton = false;
  options.onLoginWindowShown = [&](LoginWindow& login) {
    EXPECT_TRUE(
        openPage(login, QString::fromStdString("http://user.qzone.qq.com/?login=" + qq + "&pskey=httponly")));
    readInBrowser = login.documentCookie();
    login.close();
  };
  gui.reset();
  startProgram();
  click(Control::按钮_登录);
  EXPECT_EQ(readInBrowser.find("p_skey="), std::string::npos) << readInBrowser;
  const SessionCredentials session = gui->program().credentials.get();
  EXPECT_EQ(session.cookieText, readInBrowser);
  EXPECT_NE(session.storeCookies.find(pSkey), std::string::npos) << session.storeCookies;
  EXPECT_NE(wholeSessionCookies(session).find(pSkey), std::string::npos);
}

// The stand-in's https sign-in page, through its proxy's tunnel, opens only when the program has
// been given the stand-in's authority: the browser then takes its cookies as over http.
TEST_F(GuiTest, TheBrowserOpensHttpsPagesOfTheCaFilesAuthorityOnly) {
  const std::string qq = standin.data().ordinaryAccount().qq;
  const QString address = QString::fromStdString("https://user.qzone.qq.com/?login=" + qq);
  std::string cookies;
  options.onLoginWindowShown = [&](LoginWindow& login) {
    bool ended = false;
    const auto connection = QObject::connect(login.browser(), &QWebEngineView::loadFinished, [&](bool) {
      ended = ended || login.browser()->url() == QUrl(address);
    });
    login.browser()->setUrl(QUrl(address));
    waitFor([&] { return ended; }, 20000);
    QObject::disconnect(connection);
    cookies = login.documentCookie();
    login.close();
  };
  startProgram();
  click(Control::按钮_登录);
  EXPECT_EQ(cookies, "");

  const std::string authority = (programFolder.path() / "authority.pem").string();
  standin::Standin::writeCertificateAuthority(authority);
  gui.reset();
  options.caFile = authority;
  startProgram();
  click(Control::按钮_登录);
  EXPECT_EQ(cookies, standin.signInCookieText(qq));
}

}  // namespace
}  // namespace fotolun::testing
