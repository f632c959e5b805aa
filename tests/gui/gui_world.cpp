#include "gui_world.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QToolBar>
#include <fstream>
#include <sstream>

#include "form/control_inventory.h"
#include "qt_text.h"
#include "session/session_credentials.h"
#include "text/encoding.h"

namespace fotolun::testing {

BoxAnswerer::BoxAnswerer() {
  QObject::connect(&poll_, &QTimer::timeout, &poll_, [this] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(top);
      if (box == nullptr || !box->isVisible()) continue;
      seen.push_back(
          {box->text().toStdString(), box->windowTitle().toStdString(), box->icon() == QMessageBox::Warning});
      MessageAnswer answer = MessageAnswer::Ok;
      if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
      }
      const QString wanted = answer == MessageAnswer::Ok ? QStringLiteral("确定") : QStringLiteral("取消");
      for (QAbstractButton* button : box->buttons()) {
        if (button->text() == wanted) button->click();
      }
    }
  });
  poll_.start(20);
}

bool waitFor(const std::function<bool()>& done, int timeoutMs) { return QTest::qWaitFor(done, timeoutMs); }

namespace {

standin::Standin& sharedStandin() {
  static standin::Standin shared;
  static const bool started = (shared.start(), true);
  (void)started;
  return shared;
}

}  // namespace

GuiTest::GuiTest() : standin(sharedStandin()) {}

void GuiTest::SetUp() {
  standin.server().clearFaults();
  standin.server().clearRequests();
  options.folders = portableFolders(programFolder.gbkPath());
  options.proxy = standin.proxyUrl();
  // The stand-in answers for the maker's host.
  options.addresses.updatePage = "http://fotolun.example.org/update.txt";
  options.addresses.feedbackPage = "http://fotolun.example.org/feedback";
  options.addresses.homePage = "http://fotolun.example.org/";
  options.delayScale = 0;
  options.desktop.chooseFolder = [this](const QString& title, const QString& start) {
    chooserTitles.push_back(title);
    chooserStarts.push_back(start);
    return chooserAnswer;
  };
  options.desktop.open = [this](const QUrl& url) {
    opened.push_back(url);
    return openSucceeds;
  };
  boxes = std::make_unique<BoxAnswerer>();
}

void GuiTest::TearDown() {
  gui.reset();
  standin.server().clearFaults();
  boxes.reset();
}

void GuiTest::startProgram() {
  gui = std::make_unique<gui::GuiProgram>(options);
  gui->start();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&gui->window()));
}

std::string GuiTest::text(Control c) { return GbkToUtf8(gui->form().text(c)); }

void GuiTest::click(Control c) {
  QWidget* w = widget(c);
  if (controlSpec(c).kind == ControlKind::Label || controlSpec(c).kind == ControlKind::LinkLabel) {
    QTest::mousePress(w, Qt::LeftButton);
    QTest::mouseRelease(w, Qt::LeftButton);
  } else {
    QTest::mouseClick(w, Qt::LeftButton);
  }
}

void GuiTest::toolbarClick(int item) {
  QTest::mouseClick(gui->window().toolbar()->widgetForAction(gui->window().toolbarItem(item)),
                    Qt::LeftButton);
}

void GuiTest::signIn(const std::string& qq) {
  gui->program().credentials.set(CredentialsFromCookieText(standin.signInCookieText(qq)));
}

std::string GuiTest::log() { return text(Control::编辑框_操作记录); }

Text GuiTest::settingsFile() const {
  std::ifstream in(programFolder.path() / "peizi.ini", std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace fotolun::testing
