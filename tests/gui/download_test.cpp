// Listing and downloading through the real buttons, the worker's updates carried to the window.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTreeWidget>
#include <QWebEngineView>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>

#include "gui_world.h"
#include "qt_text.h"
#include "standin/video_bytes.h"
#include "story/album_record.h"
#include "story/gallery.h"
#include "text/encoding.h"

namespace fotolun::testing {
namespace {

class DownloadGuiTest : public GuiTest {
 protected:
  // Signs in as the sample account and lists its albums with the button, covers included.
  void listSampleAlbums() {
    startProgram();
    const standin::PersonalAccount& account = standin.data().ordinaryAccount();
    signIn(account.qq);
    QTest::keyClicks(widget(Control::编辑框_号码), QString::fromStdString(account.qq));
    click(Control::选择框_封面图);
    click(Control::按钮_获取相册封面);
    // The panel goes away last, once the list is complete.
    ASSERT_TRUE(waitFor([&] {
      return text(Control::标签_动态).find("获取完毕") != std::string::npos &&
             !gui->form().visible(Control::画板1);
    }));
    ASSERT_EQ(gui->form().rowCount(), static_cast<int>(account.albums.size()));
  }
  // Leaves only the rows of the albums whose names start so checked; returns their photo count.
  int checkOnly(std::initializer_list<std::string> names) {
    int photos = 0;
    for (int row = 0; row < gui->form().rowCount(); ++row) {
      const std::string name = GbkToUtf8(gui->form().cell(row, column::相册名称));
      const bool wanted = std::any_of(names.begin(), names.end(),
                                      [&](const std::string& start) { return name.rfind(start, 0) == 0; });
      gui->window().albumList()->topLevelItem(row)->setCheckState(0, wanted ? Qt::Checked : Qt::Unchecked);
      if (wanted) photos += std::stoi(GbkToUtf8(gui->form().cell(row, column::图片数量)));
    }
    return photos;
  }
  void chooseSaveFolder(const TempFolder& folder) {
    chooserAnswer = QString::fromStdString(folder.path().string());
    click(Control::按钮_选择位置);
  }
  // 下载选中, 暂停线程, 继续下载, 结束下载: which are shown.
  std::string buttonSet() {
    std::string set;
    for (Control c :
         {Control::按钮_下载选中, Control::按钮_暂停线程, Control::按钮_继续下载, Control::按钮_结束下载}) {
      set += gui->form().visible(c) ? '1' : '0';
    }
    return set;
  }
};

// Photos, not the albums' own records of them nor their pages.
int filesBelow(const std::filesystem::path& folder) {
  int n = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    n += entry.is_regular_file() && name != ".fotolun-archive" && name != "album.json" &&
         !name.ends_with(".html");
  }
  return n;
}

// What a page shows once every picture on it has loaded or failed to: lazy pictures are asked
// for at once, as scrolling would.
QJsonObject inspectPage(QWebEngineView& view, const QUrl& page) {
  bool loaded = false;
  const auto connection =
      QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool ok) { loaded = ok; });
  view.load(page);
  EXPECT_TRUE(waitFor([&] { return loaded; }, 20000)) << page.toString().toStdString();
  QObject::disconnect(connection);
  const QString script = QStringLiteral(R"((() => {
    const images = [...document.images];
    for (const image of images) image.loading = 'eager';
    return JSON.stringify({
      images: images.length,
      pending: images.filter(i => !i.complete).length,
      loaded: images.filter(i => i.complete && i.naturalWidth > 0).length,
      injected: document.querySelectorAll('script, [onerror], img[src="x"], b:not(.pages b)').length,
      videos: document.querySelectorAll('figure.video > video[src]').length,
      gaps: document.querySelectorAll('figure.gap').length,
      text: document.body.innerText,
      albums: [...document.querySelectorAll('a.album')].map(a => a.href)});
  })())");
  QJsonObject result;
  const bool settled = waitFor(
      [&] {
        bool answered = false;
        view.page()->runJavaScript(script, [&](const QVariant& value) {
          result = QJsonDocument::fromJson(value.toString().toUtf8()).object();
          answered = true;
        });
        waitFor([&] { return answered; }, 5000);
        return result["pending"].toInt(-1) == 0;
      },
      20000);
  EXPECT_TRUE(settled) << page.toString().toStdString();
  return result;
}

TEST_F(DownloadGuiTest, ListsWithCoversAndDownloadsTheCheckedAlbums) {
  listSampleAlbums();
  QTreeWidget* list = gui->window().albumList();
  EXPECT_EQ(gui->form().cell(0, column::序号), "1");
  EXPECT_FALSE(list->topLevelItem(0)->icon(column::封面).isNull());
  EXPECT_TRUE(gui->form().rowChecked(0));

  TempFolder saveFolder;
  chooseSaveFolder(saveFolder);
  const int photos = checkOnly({"旅行2019", "家人"});
  ASSERT_EQ(photos, 17);
  click(Control::按钮_下载选中);
  EXPECT_EQ(buttonSet(), "0101");
  ASSERT_TRUE(waitFor([&] { return !boxes->seen.empty(); }, 60000));
  EXPECT_EQ(boxes->seen[0].text, "全部下载完毕");
  EXPECT_EQ(boxes->seen[0].caption, "信息：");
  EXPECT_EQ(buttonSet(), "1000");
  EXPECT_EQ(filesBelow(saveFolder.path()), photos);
  EXPECT_NE(log().find("-------全部下载完毕--------\r\n"), std::string::npos);
  EXPECT_EQ(gui->form().position(Control::进度条1), gui->form().maximum(Control::进度条1));
}

TEST_F(DownloadGuiTest, PauseResumeAndAConfirmedStopEndTheRun) {
  listSampleAlbums();
  TempFolder saveFolder;
  chooseSaveFolder(saveFolder);
  checkOnly({"五百张"});
  standin.server().addFault("http", {standin::FaultKind::Delay, -1, std::chrono::milliseconds(40), 200});
  click(Control::按钮_下载选中);
  ASSERT_TRUE(waitFor([&] { return gui->form().position(Control::进度条1) > 0; }));

  click(Control::按钮_暂停线程);
  EXPECT_EQ(buttonSet(), "0011");
  QTest::qWait(300);  // a photo in flight may still land
  const int paused = gui->form().position(Control::进度条1);
  QTest::qWait(500);
  EXPECT_EQ(gui->form().position(Control::进度条1), paused);

  click(Control::按钮_继续下载);
  EXPECT_EQ(buttonSet(), "0101");
  ASSERT_TRUE(waitFor([&] { return gui->form().position(Control::进度条1) > paused; }));

  boxes->queue(MessageAnswer::Cancel);
  click(Control::按钮_结束下载);
  ASSERT_EQ(boxes->seen.size(), 1u);
  EXPECT_EQ(boxes->seen[0].text, "您真的要彻底结束下载么？");
  EXPECT_EQ(boxes->seen[0].caption, "警告！");
  EXPECT_EQ(buttonSet(), "0101");
  const int before = gui->form().position(Control::进度条1);
  ASSERT_TRUE(waitFor([&] { return gui->form().position(Control::进度条1) > before; }));

  click(Control::按钮_结束下载);  // Ok
  EXPECT_EQ(buttonSet(), "1000");
  const std::string stoppedLog = log();
  const std::string last = "彻底结束下载了\r\n";
  EXPECT_EQ(stoppedLog.substr(stoppedLog.size() - last.size()), last);
  QTest::qWait(500);
  EXPECT_EQ(log(), stoppedLog);
  EXPECT_EQ(boxes->seen.size(), 2u);
}

// The offline album after a run, opened as the button opens it, in a real browser engine: every
// picture loads from the saved files, no title or description becomes markup, a video plays in
// place and a photo not saved is a gap.
TEST_F(DownloadGuiTest, TheOfflineAlbumOpensFromTheButtonAndShowsWhatWasSaved) {
  listSampleAlbums();
  TempFolder saveFolder;
  chooseSaveFolder(saveFolder);
  const int photos = checkOnly({"旅行2019", "标题测试"});
  EXPECT_FALSE(gui->form().visible(Control::按钮_打开相册页));
  click(Control::按钮_下载选中);
  ASSERT_TRUE(waitFor([&] { return !boxes->seen.empty(); }, 60000));
  ASSERT_EQ(filesBelow(saveFolder.path()), photos);

  // An album folder of an earlier day, with a video and a photo that failed; its pages come with
  // the next run's, or with `fotolun-cli gallery`.
  const auto number = saveFolder.path() / standin.data().ordinaryAccount().qq;
  const auto videoFolder = number / "视频5";
  std::filesystem::create_directories(videoFolder);
  const standin::VideoSource clip{"v", "clip", false};
  std::ofstream(videoFolder / "片段_1_5.mp4", std::ios::binary) << standin::MakeVideo(clip, 1);
  AlbumRecord record{"V1video", "视频<i>5</i>", {}, {}};
  record.photos.push_back(RecordedPhoto{"k1", "hd", "片段_1_5.mp4", "", {}});
  record.photos.push_back(RecordedPhoto{"k2", "hd", "", "视频无法下载：只有在线播放列表（m3u8）", {}});
  record.photos[1].story.title = "<script>alert(1)</script>";
  ASSERT_TRUE(writeAlbumRecord(videoFolder, record));
  ASSERT_EQ(rebuildGalleries(number).size(), 1u);

  ASSERT_TRUE(gui->form().visible(Control::按钮_打开相册页));
  click(Control::按钮_打开相册页);
  ASSERT_FALSE(opened.empty());
  EXPECT_EQ(std::filesystem::path(opened.back().toLocalFile().toStdString()), number / "index.html");

  QWebEngineView view;
  view.resize(1000, 700);
  const QJsonObject top = inspectPage(view, opened.back());
  EXPECT_EQ(top["images"].toInt(), 2);  // the covers; the video album shows its video
  EXPECT_EQ(top["loaded"].toInt(), 2);
  EXPECT_EQ(top["injected"].toInt(), 0);
  const QJsonArray albums = top["albums"].toArray();
  ASSERT_EQ(albums.size(), 3);
  struct Expected {
    int images, videos, gaps;
    std::vector<std::string> texts;
  };
  const std::map<std::string, Expected> expected = {
      {"旅行201912", {12, 0, 0, {"IMG_0001", "那天的阳光很好"}}},
      {"标题测试17",
       {17, 0, 0, {"<script>alert(1)</script>", "\"><img src=x onerror=alert(1)>", "😀笑脸", "<b>粗</b>"}}},
      {"视频5", {0, 1, 1, {"视频<i>5</i>", "<script>alert(1)</script>", "只有在线播放列表"}}},
  };
  for (const QJsonValue& link : albums) {
    const QUrl page(link.toString());
    const std::string folderName =
        std::filesystem::path(page.toLocalFile().toStdString()).parent_path().filename();
    ASSERT_EQ(expected.count(folderName), 1u) << folderName;
    const Expected& want = expected.at(folderName);
    const QJsonObject shown = inspectPage(view, page);
    EXPECT_EQ(shown["images"].toInt(), want.images) << folderName;
    EXPECT_EQ(shown["loaded"].toInt(), want.images) << folderName;
    EXPECT_EQ(shown["videos"].toInt(), want.videos) << folderName;
    EXPECT_EQ(shown["gaps"].toInt(), want.gaps) << folderName;
    EXPECT_EQ(shown["injected"].toInt(), 0) << folderName;
    for (const std::string& text : want.texts)
      EXPECT_NE(shown["text"].toString().toStdString().find(text), std::string::npos)
          << folderName << ": " << text;
  }
}

}  // namespace
}  // namespace fotolun::testing
