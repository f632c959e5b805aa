// Listing and downloading through the real buttons, the worker's updates carried to the window.
#include <QTest>
#include <QTreeWidget>
#include <chrono>
#include <filesystem>

#include "gui_world.h"
#include "qt_text.h"
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

// Photos, not the albums' own records of them.
int filesBelow(const std::filesystem::path& folder) {
  int n = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    n += entry.is_regular_file() && entry.path().filename() != ".fotolun-archive";
  return n;
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

}  // namespace
}  // namespace fotolun::testing
