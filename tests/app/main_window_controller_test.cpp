#include "app/main_window_controller.h"

#include <gtest/gtest.h>

#include <chrono>

#include "app_fixtures.h"
#include "download/download_run.h"
#include "form/control_inventory.h"
#include "form/locked_ui_thread.h"
#include "standin/http_server.h"

namespace fotolun {
namespace {

using testing::FakeDesktop;
using testing::FakeSearchForm;
using testing::fillAlbums;
using testing::gbk;
using testing::readBytes;
using testing::ScratchFolder;
using testing::ScriptedForm;
using testing::writeBytes;

AppAddresses testAddresses() {
  AppAddresses addresses;
  addresses.updatePage = "http://fotolun.test/update.txt";
  addresses.feedbackPage = "http://fotolun.test/feedback";
  addresses.homePage = "http://fotolun.test/";
  return addresses;
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    program.folders = portableFolders(folder.dir());
    program.hosts.personalSpace = "space.test";
    server.start();
    program.proxy = server.proxyUrl();
  }
  MainWindowController& window() {
    if (!controller) controller = std::make_unique<MainWindowController>(program, desktop, testAddresses());
    return *controller;
  }
  size_t updateFetches() const { return server.requests().size(); }

  ScratchFolder folder;
  std::string page = "#fotolun@@1.4#fotolun";
  standin::HttpServer server{[this](const standin::Request&) { return standin::Response{200, {}, page}; }};
  ScriptedForm form;
  LockedUiThread ui;
  Program program{form, ui};
  FakeDesktop desktop;
  std::unique_ptr<MainWindowController> controller;
};

TEST_F(MainWindowTest, CreationShowsFolderVersionTitleAndHdWithoutSettings) {
  window().windowCreated();
  EXPECT_EQ(form.text(Control::编辑框_保存位置), folder.dir());
  EXPECT_EQ(form.textOf(Control::标签_banben), "1.4");
  EXPECT_EQ(form.textOf(Control::窗口), std::string(kWindowTitle) + "   版本：1.4");
  EXPECT_TRUE(form.checked(Control::选择框_高清));
  EXPECT_FALSE(form.checked(Control::选择框_原图));
  EXPECT_EQ(updateFetches(), 0u);
}

TEST_F(MainWindowTest, CreationTakesTheStoredMode) {
  writeBytes(folder.file("peizi.ini"), gbk("[下载模式]\r\n模式=原图\r\n"));
  window().windowCreated();
  EXPECT_TRUE(form.checked(Control::选择框_原图));
  EXPECT_FALSE(form.checked(Control::选择框_高清));
}

// The dates box keeps its state in the settings file; the album page button opens the page the
// last run wrote, a path of any characters, as a file address.
TEST_F(MainWindowTest, TheDatesBoxIsSavedAndTheAlbumPageOpensAsAFileAddress) {
  window().windowCreated();
  EXPECT_FALSE(form.checked(Control::选择框_写入拍摄时间));
  form.setChecked(Control::选择框_写入拍摄时间, true);
  window().clicked(Control::选择框_写入拍摄时间);
  EXPECT_TRUE(program.embedDates);
  EXPECT_NE(readBytes(folder.file("peizi.ini")).find(gbk("[照片信息]\r\n写入拍摄时间=1")), std::string::npos);
  controller.reset();
  program.embedDates = false;
  window().windowCreated();
  EXPECT_TRUE(form.checked(Control::选择框_写入拍摄时间));
  EXPECT_TRUE(program.embedDates);

  window().clicked(Control::按钮_打开相册页);
  EXPECT_TRUE(desktop.openedUrls.empty()) << "no run has written a page yet";
  program.galleryPage.set(gbk("/存档/a b#1/index.html"));
  window().clicked(Control::按钮_打开相册页);
  EXPECT_EQ(desktop.openedUrls,
            (std::vector<std::string>{"file:///%E5%AD%98%E6%A1%A3/a%20b%231/index.html"}));
}

// The patience field shows the settings' minutes; a number typed there is kept, anything else is
// put back.
TEST_F(MainWindowTest, ThePatienceFieldKeepsMinutesAndRefusesTheRest) {
  writeBytes(folder.file("peizi.ini"), gbk("[下载模式]\r\n耐心=0.5\r\n"));
  window().windowCreated();
  EXPECT_EQ(form.text(Control::编辑框_耐心), "0.5");
  EXPECT_EQ(program.patienceMs, 30000);
  const std::vector<std::pair<std::string, int>> typed = {
      {" 45 ", 45 * 60000}, {"0", 45 * 60000}, {"-3", 45 * 60000}, {"1e3", 45 * 60000},
      {"1441", 45 * 60000}, {"2.25", 135000},  {"", 135000}};
  for (const auto& [text, patience] : typed) {
    form.setText(Control::编辑框_耐心, gbk(text));
    window().patienceEdited();
    EXPECT_EQ(program.patienceMs, patience) << text;
  }
  EXPECT_EQ(form.text(Control::编辑框_耐心), "2.25") << "put back to the patience in force";
  EXPECT_NE(form.log().find("仍按2.25分钟"), std::string::npos);
  controller.reset();
  window().windowCreated();
  EXPECT_EQ(program.patienceMs, 135000) << "kept in the settings file";
}

TEST_F(MainWindowTest, TheAlbumSourceSwitchesTheNumberLabel) {
  form.setVisible(Control::分组框1, false);
  form.setCurrentIndex(Control::组合框1, 1);
  window().comboSelectionChanged();
  EXPECT_EQ(form.textOf(Control::标签_空间或群), "输入QQ群号：");
  EXPECT_TRUE(form.visible(Control::分组框1));
  form.setCurrentIndex(Control::组合框1, 0);
  window().comboSelectionChanged();
  EXPECT_EQ(form.textOf(Control::标签_空间或群), "输入目标QQ号码：");

  form.setVisible(Control::分组框1, false);
  form.setCurrentIndex(Control::组合框1, -1);
  window().comboSelectionChanged();
  EXPECT_EQ(form.textOf(Control::标签_空间或群), "输入目标QQ号码：");
  EXPECT_FALSE(form.visible(Control::分组框1));
}

TEST_F(MainWindowTest, TheVersionPageChecksOncePerRunOnAWorker) {
  window().windowCreated();
  ui.send([&] {
    window().toolbarItemClicked(2);
    EXPECT_EQ(form.currentIndex(Control::高级选择夹1), 1);
    window().toolbarItemClicked(0);
    EXPECT_EQ(form.currentIndex(Control::高级选择夹1), 0);
    window().toolbarItemClicked(2);
  });
  window().waitForBackgroundCheck();
  EXPECT_EQ(updateFetches(), 1u);
  EXPECT_EQ(form.textOf(Control::标签_zxbanben), "1.4");
  EXPECT_EQ(form.textOf(Control::标签_banbenjieguo), "无需更新");
}

TEST_F(MainWindowTest, TheCheckButtonFetchesOnEveryClick) {
  window().windowCreated();
  page = "#fotolun@@1.6#fotolun";
  window().clicked(Control::按钮_checknew);
  window().clicked(Control::按钮_checknew);
  EXPECT_EQ(updateFetches(), 2u);
  EXPECT_EQ(form.boxes().size(), 2u);
  EXPECT_EQ(form.textOf(Control::标签_zxbanben), "1.6");
}

TEST_F(MainWindowTest, TheWorkersAnnouncementReachesTheWindow) {
  window().windowCreated();
  page = "#fotolun@@2.0#fotolun";
  window().toolbarItemClicked(2);
  window().waitForBackgroundCheck();
  ASSERT_EQ(form.boxes().size(), 1u);
  EXPECT_EQ(form.boxes()[0].text, "有新版，联系客服获取最新版或打开作者主页去下载");
}

TEST_F(MainWindowTest, ClosingTheWindowAbortsACheckInFlight) {
  server.addFault("update.txt", standin::Fault{standin::FaultKind::Delay, -1, std::chrono::seconds(20)});
  window().windowCreated();
  window().toolbarItemClicked(2);
  while (updateFetches() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const auto start = std::chrono::steady_clock::now();
  controller.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(form.textOf(Control::标签_banbenjieguo), "等待检测");
}

TEST_F(MainWindowTest, LinksAndWindowsGoToTheDesktop) {
  window().toolbarItemClicked(4);
  window().clicked(Control::标签7);
  window().clicked(Control::标签_查找);
  EXPECT_EQ(desktop.openedUrls,
            (std::vector<std::string>{"http://fotolun.test/feedback", "http://fotolun.test/"}));
  EXPECT_EQ(desktop.searchWindowsOpened, 1);
}

TEST_F(MainWindowTest, PagesNotConfiguredAreNeitherFetchedNorOpened) {
  controller = std::make_unique<MainWindowController>(program, desktop, AppAddresses{});
  window().windowCreated();
  window().toolbarItemClicked(2);
  window().waitForBackgroundCheck();
  window().clicked(Control::按钮_checknew);
  window().toolbarItemClicked(4);
  window().clicked(Control::标签7);
  EXPECT_EQ(form.textOf(Control::标签_banbenjieguo), "未设置更新页面");
  EXPECT_EQ(updateFetches(), 0u);
  EXPECT_TRUE(desktop.openedUrls.empty());
  ASSERT_EQ(form.boxes().size(), 2u);
  EXPECT_EQ(form.boxes()[0].text, "未设置反馈页面的地址");
  EXPECT_EQ(form.boxes()[1].text, "未设置作者主页的地址");
}

TEST_F(MainWindowTest, SignInOpensTheLoginWindowAtThePersonalSpace) {
  window().clicked(Control::按钮_登录);
  EXPECT_EQ(program.loginAddress, "http://space.test/");
  EXPECT_EQ(form.logins(), std::vector<std::string>{"http://space.test/"});
  form.setText(Control::编辑框_号码, "10001");
  window().clicked(Control::按钮1);
  EXPECT_EQ(form.logins().back(), "http://space.test/10001/photo/");
}

TEST_F(MainWindowTest, SettingsAndFolderButtonsAreRouted) {
  window().windowCreated();
  form.setChecked(Control::选择框_原图, true);
  window().clicked(Control::选择框_原图);
  EXPECT_EQ(readBytes(folder.file("peizi.ini")), gbk("[下载模式]\r\n模式=原图\r\n"));
  form.setChecked(Control::选择框_高清, true);
  window().clicked(Control::选择框_高清);
  EXPECT_EQ(readBytes(folder.file("peizi.ini")), gbk("[下载模式]\r\n模式=高清\r\n"));

  window().clicked(Control::按钮_选择位置);
  EXPECT_EQ(form.text(Control::编辑框_保存位置), folder.dir());
  window().clicked(Control::按钮3);
  EXPECT_EQ(desktop.openedFolders.size(), 1u);
}

TEST_F(MainWindowTest, ListAndSearchEventsAreRoutedAndShareOneSearchRow) {
  fillAlbums(form, {{"春天", "1", "问题"}, {"夏天", "2", ""}, {"春游", "3", ""}});
  form.setChecked(Control::选择框_全选, true);
  window().clicked(Control::选择框_全选);
  form.setChecked(Control::选择框_反选, true);
  window().clicked(Control::选择框_反选);
  EXPECT_EQ(testing::rowChecks(form), (std::vector<bool>{false, false, false}));

  form.selectRow(0);
  window().albumRowClicked();
  EXPECT_EQ(form.textOf(Control::编辑框_QQ相册问题), "问题");

  FakeSearchForm search;
  search.setKeyword("春");
  EXPECT_EQ(window().searchRow(), 0);
  window().searchClicked(search, SearchControl::按钮_查找下一个);
  EXPECT_EQ(window().searchRow(), 2);
  window().searchClicked(search, SearchControl::按钮_查找上一个);
  EXPECT_EQ(window().searchRow(), 0);
  window().searchClicked(search, SearchControl::按钮_查找);
  EXPECT_EQ(search.rowLabel(), "第1行");
  window().searchClicked(search, SearchControl::标签_行位置);
  EXPECT_EQ(window().searchRow(), 0);
}

TEST_F(MainWindowTest, ListAndDownloadButtonsReachTheirHandlers) {
  window().windowCreated();
  form.setText(Control::编辑框_号码, "");
  window().clicked(Control::按钮_获取相册封面);
  ASSERT_EQ(form.boxes().size(), 1u);
  EXPECT_EQ(form.boxes()[0].text, "输入QQ或者群号");

  // A LockedUiThread's lock stands for the UI thread while the download worker is alive.
  ui.send([&] {
    window().clicked(Control::按钮_下载选中);
    EXPECT_NE(form.log().find("开启启动下载"), std::string::npos);
  });
  window().downloadRun().waitForWorker();
  ui.send([&] {
    window().clicked(Control::按钮_暂停线程);
    EXPECT_TRUE(form.visible(Control::按钮_继续下载));
    window().clicked(Control::按钮_继续下载);
    EXPECT_TRUE(form.visible(Control::按钮_暂停线程));
    form.queueAnswer(MessageAnswer::Cancel);
    const size_t boxesBefore = form.boxes().size();
    window().clicked(Control::按钮_结束下载);
    ASSERT_EQ(form.boxes().size(), boxesBefore + 1);
    EXPECT_EQ(form.boxes().back().text, "您真的要彻底结束下载么？");
  });
}

TEST_F(MainWindowTest, ControlsWithoutAHandlerDoNothing) {
  window().windowCreated();
  form.clearChanges();
  for (Control c : {Control::选择框_封面图, Control::标签_动态, Control::画板1, Control::窗口})
    window().clicked(c);
  window().toolbarItemClicked(1);
  window().toolbarItemClicked(7);
  EXPECT_TRUE(form.changes().empty());
  EXPECT_TRUE(desktop.openedUrls.empty());
}

TEST(AppAddresses, EnvironmentOverridesEachAddress) {
  const auto addresses = appAddressesFromEnvironment([](const char* name) -> const char* {
    if (std::string_view(name) == "FOTOLUN_UPDATE_URL") return "http://127.0.0.1:1/u.txt";
    if (std::string_view(name) == "FOTOLUN_HOME_URL") return "";
    return nullptr;
  });
  EXPECT_EQ(addresses.updatePage, "http://127.0.0.1:1/u.txt");
  EXPECT_EQ(addresses.feedbackPage, builtInAddresses().feedbackPage);
  EXPECT_EQ(addresses.homePage, builtInAddresses().homePage);
}

}  // namespace
}  // namespace fotolun
