// What the window tells a user, and when: videos the older listings mark are saved as videos, an
// ending that names what failed, a listing that ended stops looking busy, names that stay put
// from one listing to the next, numbers checked before asking, and a close that asks first.
#include <QComboBox>
#include <QProgressBar>
#include <QTest>
#include <QTreeWidget>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>

#include "albums/album_list.h"
#include "app/main_window_controller.h"
#include "download/download_run.h"
#include "gui_world.h"
#include "login_window.h"
#include "names/unknown_names.h"
#include "text/encoding.h"

namespace fotolun::testing {
namespace {

namespace fs = std::filesystem;

standin::Fault faultOf(standin::FaultKind kind, int status = 500) {
  standin::Fault fault;
  fault.kind = kind;
  fault.status = status;
  return fault;
}

// Files below folder whose names end so.
int filesEndingIn(const fs::path& folder, const std::string& ending) {
  int n = 0;
  if (!fs::exists(folder)) return 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    n += entry.is_regular_file() && name.size() >= ending.size() &&
         name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
  }
  return n;
}

class HonestWindowTest : public GuiTest {
 protected:
  // The older endpoints only, which is what the automatic choice asks first anyway; the https
  // photo viewer is trusted as the program trusts it.
  void startOnTheOlderFamily() {
    std::ofstream(programFolder.path() / "peizi.ini", std::ios::binary)
        << Utf8ToGbk("[服务接口]\r\n接口=classic\r\n");
    standin::Standin::writeCertificateAuthority((programFolder.path() / "ca.pem").string());
    options.caFile = (programFolder.path() / "ca.pem").string();
    // A listing that asks for a new sign-in opens the login window: closed at once, as if cancelled.
    options.onLoginWindowShown = [](gui::LoginWindow& login) { login.close(); };
    startProgram();
  }
  // Lists number's albums with the button; true when the list ended with rows.
  bool list(const std::string& number, bool group = false) {
    gui->window().as<QComboBox>(Control::组合框1)->setCurrentIndex(group ? 1 : 0);
    gui->form().setText(Control::编辑框_号码, number);
    click(Control::按钮_获取相册封面);
    EXPECT_TRUE(waitFor([&] { return !gui->controller().albumLists().building(); }, 30000));
    return gui->form().rowCount() > 0;
  }
  void checkOnlyRow(int wanted) {
    for (int row = 0; row < gui->form().rowCount(); ++row) gui->form().setRowChecked(row, row == wanted);
  }
  // Downloads the checked rows into folder; the closing box.
  BoxAnswerer::Box download(const TempFolder& folder) {
    gui->form().setText(Control::编辑框_保存位置, folder.gbkPath());
    boxes->seen.clear();
    click(Control::按钮_下载选中);
    EXPECT_TRUE(waitFor([&] { return !boxes->seen.empty(); }, 60000)) << log();
    return boxes->seen.empty() ? BoxAnswerer::Box{} : boxes->seen.back();
  }
};

TEST_F(HonestWindowTest, VideosTheOlderListingsMarkAreSavedAsVideosAndTheEndingSaysWhatFailed) {
  startOnTheOlderFamily();
  const standin::PersonalAccount& account = standin.data().videoAccount();
  const standin::PersonalAlbum& album = account.albums[0];
  signIn(account.qq);
  ASSERT_TRUE(list(account.qq));
  ASSERT_EQ(GbkToUtf8(gui->form().cell(0, column::相册名称)), album.name);
  checkOnlyRow(0);
  const std::string firstPicture = album.photos[0].url.substr(album.photos[0].url.find("://") + 3);

  struct Case {
    const char* what;
    std::vector<std::pair<std::string, standin::Fault>> faults;
    int pictures, videos;  // saved
    std::string box, logged;
  };
  const Case cases[] = {
      {"the viewer names the videos' files",
       {},
       3,
       2,
       "下载结束，但有1个相册、1个视频没有下载成功，详见日志",
       "视频无法下载：分段的视频（只有在线播放列表（m3u8），没有可保存的视频文件）"},
      {"a picture is lost too",
       {{firstPicture, faultOf(standin::FaultKind::HttpError, 404)}},
       2,
       2,
       "下载结束，但有1个相册、1张图片、1个视频没有下载成功，详见日志",
       "图片下载失败：照片一"},
      {"the viewer does not answer",
       {{"cgi_floatview_photo_list_v2", faultOf(standin::FaultKind::NotJson)}},
       3,
       0,
       "下载结束，但有1个相册、3个视频没有下载成功，详见日志",
       "视频无法下载：可下载的视频（"},
      {"the album's listing fails",
       {{"topicId=" + album.id, faultOf(standin::FaultKind::NotJson)}},
       0,
       0,
       "下载结束，但有1个相册没有下载成功，详见日志",
       "》的照片列表获取失败"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    standin.server().clearFaults();
    for (const auto& [part, fault] : c.faults) standin.server().addFault(part, fault);
    TempFolder save;
    const std::size_t logBefore = log().size();
    const BoxAnswerer::Box box = download(save);
    EXPECT_EQ(box.text, c.box);
    EXPECT_EQ(box.caption, "警告：");
    EXPECT_TRUE(box.warning);
    EXPECT_NE(log().find(c.logged, logBefore), std::string::npos) << log().substr(logBefore);
    const fs::path albumFolder =
        save.path() / account.qq / (album.name + std::to_string(album.photos.size()));
    EXPECT_EQ(filesEndingIn(albumFolder, ".mp4"), c.videos);
    // No video entry left its cover behind in its place.
    EXPECT_EQ(filesEndingIn(albumFolder, ".jpg"), c.pictures);
    // A listing that failed leaves none of the folders the run made for it.
    if (c.pictures + c.videos == 0) {
      EXPECT_FALSE(fs::exists(save.path() / account.qq));
    }
  }
}

TEST_F(HonestWindowTest, NamesStayPutFromOneListingToTheNext) {
  startOnTheOlderFamily();
  const standin::PersonalAccount& account = standin.data().ordinaryAccount();
  signIn(account.qq);
  const auto names = [&] {
    std::vector<std::string> shown;
    for (int row = 0; row < gui->form().rowCount(); ++row)
      shown.push_back(GbkToUtf8(gui->form().cell(row, column::相册名称)));
    return shown;
  };
  ASSERT_TRUE(list(account.qq));
  const std::vector<std::string> first = names();
  ASSERT_TRUE(list(account.qq));
  EXPECT_EQ(names(), first);
  int unnamed = 0;
  for (std::size_t i = 0; i < account.albums.size(); ++i) {
    if (!account.albums[i].name.empty()) continue;
    ++unnamed;
    EXPECT_EQ(first[i], GbkToUtf8(unknownAlbumName(account.albums[i].id)));
  }
  EXPECT_GT(unnamed, 0);

  // A group's titles are JSON strings: shown with their escapes decoded.
  const standin::Group& group = standin.data().smallGroup();
  ASSERT_TRUE(list(group.number, true));
  ASSERT_EQ(GbkToUtf8(gui->form().cell(0, column::相册名称)), "聚会/2019");
  int blank = -1;
  for (int row = 0; row < gui->form().rowCount(); ++row)
    if (TrimSpaces(gui->form().cell(row, column::相册名称)).empty()) blank = row;
  ASSERT_NE(blank, -1);
  // A blank title downloads under a name its id decides, the same in every run.
  checkOnlyRow(blank);
  const std::string opening =
      "准备下载相册《" + GbkToUtf8(unnamedRowName(gui->form().cell(blank, column::相册ID))) + "》";
  for (int run = 0; run < 2; ++run) {
    TempFolder save;
    const std::size_t logBefore = log().size();
    download(save);
    EXPECT_NE(log().find(opening, logBefore), std::string::npos) << log().substr(logBefore);
  }
}

TEST_F(HonestWindowTest, NumbersAreCheckedAndAListingWithoutRowsStopsLookingBusy) {
  startOnTheOlderFamily();
  struct Number {
    bool group;
    const char* typed;
    const char* box;
  };
  for (const Number& n : {Number{false, "1234", "QQ号码应该是5到11位数字，请检查后再获取"},
                          Number{false, "123456789012", "QQ号码应该是5到11位数字，请检查后再获取"},
                          Number{true, "12a45", "QQ群号应该是5到11位数字，请检查后再获取"}}) {
    SCOPED_TRACE(n.typed);
    boxes->seen.clear();
    standin.server().clearRequests();
    list(n.typed, n.group);
    ASSERT_EQ(boxes->seen.size(), 1u);
    EXPECT_EQ(boxes->seen[0].text, n.box);
    EXPECT_TRUE(standin.server().requests().empty());
  }

  signIn(standin.data().ordinaryAccount().qq);
  auto* bar = gui->window().as<QProgressBar>(Control::进度条1);
  struct End {
    const char* what;
    std::string number;
    bool group;
    std::string fault;
    const char* hint;
  };
  for (const End& e :
       {End{"no albums", standin.data().accountWithoutAlbums().qq, false, "", "获取完毕：没有相册"},
        End{"no answer", standin.data().smallGroup().number, true, "qun_list_album_v2",
            "没有获取到相册列表"}}) {
    SCOPED_TRACE(e.what);
    standin.server().clearFaults();
    if (!e.fault.empty()) standin.server().addFault(e.fault, faultOf(standin::FaultKind::NotJson));
    boxes->seen.clear();
    EXPECT_FALSE(list(e.number, e.group));
    EXPECT_EQ(boxes->seen.size(), 1u);
    EXPECT_EQ(text(Control::标签_动态), e.hint);
    // A bar of no range is Qt's endless busy indicator.
    EXPECT_LT(bar->minimum(), bar->maximum());
    EXPECT_EQ(gui->form().position(Control::进度条1), 0);
  }
}

TEST_F(HonestWindowTest, ClosingDuringADownloadAsksFirstAndStopsTheRunLikeTheStopButton) {
  startProgram();
  const standin::PersonalAccount& account = standin.data().ordinaryAccount();
  signIn(account.qq);
  ASSERT_TRUE(list(account.qq));
  for (int row = 0; row < gui->form().rowCount(); ++row)
    gui->form().setRowChecked(row, GbkToUtf8(gui->form().cell(row, column::相册名称)).starts_with("五百张"));
  TempFolder save;
  gui->form().setText(Control::编辑框_保存位置, save.gbkPath());
  standin.server().addFault("http", {standin::FaultKind::Delay, -1, std::chrono::milliseconds(40), 200});
  click(Control::按钮_下载选中);
  ASSERT_TRUE(waitFor([&] { return gui->form().position(Control::进度条1) > 0; }));
  EXPECT_FALSE(widget(Control::按钮_获取相册封面)->isEnabled());

  boxes->queue(MessageAnswer::Cancel);
  gui->window().close();
  ASSERT_EQ(boxes->seen.size(), 1u);
  EXPECT_EQ(boxes->seen[0].text, "您真的要彻底结束下载么？");
  EXPECT_TRUE(gui->window().isVisible());
  const int before = gui->form().position(Control::进度条1);
  ASSERT_TRUE(waitFor([&] { return gui->form().position(Control::进度条1) > before; }));

  gui->window().close();  // Ok
  EXPECT_FALSE(gui->window().isVisible());
  EXPECT_TRUE(widget(Control::按钮_获取相册封面)->isEnabled());
  ASSERT_TRUE(waitFor([&] { return !gui->controller().downloadRun().running(); }));
  for (const auto& entry : fs::recursive_directory_iterator(save.path()))
    EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos) << entry.path();
}

}  // namespace
}  // namespace fotolun::testing

namespace fotolun::testing {
namespace {

// What a space posted outside its albums is the third source: a row for each year, and the rows
// download as albums do.
TEST_F(HonestWindowTest, ASpacesPostsAreTheThirdSourceAYearToARow) {
  startOnTheOlderFamily();
  signIn(standin.data().ordinaryAccount().qq);
  const standin::PersonalAccount& feed = standin.data().feedAccount();
  auto* combo = gui->window().as<QComboBox>(Control::组合框1);
  ASSERT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->itemText(2), QStringLiteral("说说相册"));
  combo->setCurrentIndex(2);
  EXPECT_EQ(text(Control::标签_空间或群), "输入目标QQ号码：");
  gui->form().setText(Control::编辑框_号码, feed.qq);
  click(Control::按钮_获取相册封面);
  ASSERT_TRUE(waitFor([&] { return !gui->controller().albumLists().building(); }, 30000));
  std::set<std::string> years;
  int files = 0;
  for (const standin::FeedPost& post : feed.feed) {
    if (post.hidden || (post.pictures.empty() && post.videos.empty())) continue;
    const std::time_t china = static_cast<std::time_t>(post.createdTime + 8 * 3600);
    years.insert(std::to_string(1900 + std::gmtime(&china)->tm_year));
    files += static_cast<int>(post.pictures.size() + post.videos.size());
  }
  ASSERT_EQ(gui->form().rowCount(), static_cast<int>(years.size())) << log();
  EXPECT_EQ(GbkToUtf8(gui->form().cell(0, column::相册名称)), "说说 " + *years.rbegin());
  EXPECT_NE(log().find("条设为私密或仅部分人可见，看不到"), std::string::npos) << log();

  TempFolder folder;
  EXPECT_EQ(download(folder).text, "全部下载完毕") << log();
  EXPECT_EQ(filesEndingIn(folder.path(), ".jpg") + filesEndingIn(folder.path(), ".mp4"), files);
}

}  // namespace
}  // namespace fotolun::testing
