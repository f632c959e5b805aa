// The real main window: built as the inventory says, and every kind of event reaching its handler.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <fstream>

#include "app/main_window_controller.h"
#include "form/control_inventory.h"
#include "gui_world.h"
#include "qt_text.h"
#include "search_window.h"
#include "text/encoding.h"
#include "widgets.h"

namespace fotolun::testing {
namespace {

Text gbk(std::string_view utf8) { return Utf8ToGbk(utf8); }

TEST_F(GuiTest, StartsWithEveryControlInPlaceAndTheDefaultMode) {
  startProgram();
  for (const ControlSpec& spec : controlInventory()) {
    if (spec.id == Control::窗口) continue;
    QWidget* w = widget(spec.id);
    SCOPED_TRACE(std::string(controlName(spec.id)));
    EXPECT_EQ(w->objectName(), gui::fromUtf8(controlName(spec.id)));
    EXPECT_EQ(w->geometry(), QRect(spec.left, spec.top, spec.width, spec.height));
    EXPECT_EQ(w->isHidden(), spec.hidden);
  }
  EXPECT_EQ(text(Control::窗口), "Fotolun-支持QQ空间和QQ群相册   版本：1.4");
  EXPECT_EQ(gui->window().windowTitle(), QStringLiteral("Fotolun-支持QQ空间和QQ群相册   版本：1.4"));
  EXPECT_EQ(text(Control::标签_banben), "1.4");
  EXPECT_EQ(gui->form().text(Control::编辑框_保存位置), programFolder.gbkPath());
  EXPECT_TRUE(gui->form().checked(Control::选择框_高清));
  EXPECT_FALSE(gui->form().checked(Control::选择框_原图));
  EXPECT_EQ(gui->window().albumList()->headerItem()->text(2), QStringLiteral("相册名称"));
  EXPECT_EQ(gui->window().toolbarItem(0)->text(), QStringLiteral("批量下载"));
  EXPECT_TRUE(gui->window().toolbarItem(1)->isSeparator());
  EXPECT_EQ(gui->window().toolbarItem(4)->text(), QStringLiteral("使用反馈"));
}

TEST_F(GuiTest, ModeBoxesStayExclusiveAndWriteTheSettingsFile) {
  std::ofstream(programFolder.path() / "peizi.ini", std::ios::binary) << gbk("[下载模式]\r\n模式=原图\r\n");
  startProgram();
  EXPECT_TRUE(gui->form().checked(Control::选择框_原图));
  EXPECT_FALSE(gui->form().checked(Control::选择框_高清));

  toolbarClick(2);
  ASSERT_EQ(gui->window().tabs()->currentIndex(), 1);
  click(Control::选择框_原图);  // unchecking the shown mode selects the other
  EXPECT_FALSE(gui->form().checked(Control::选择框_原图));
  EXPECT_TRUE(gui->form().checked(Control::选择框_高清));
  EXPECT_NE(settingsFile().find(gbk("模式=高清")), std::string::npos);
  click(Control::选择框_原图);
  EXPECT_TRUE(gui->form().checked(Control::选择框_原图));
  EXPECT_FALSE(gui->form().checked(Control::选择框_高清));
  EXPECT_NE(settingsFile().find(gbk("模式=原图")), std::string::npos);
}

TEST_F(GuiTest, ComboAndToolbarSwitchWhatTheWindowShows) {
  startProgram();
  widget(Control::分组框1)->hide();
  auto* combo = gui->window().as<QComboBox>(Control::组合框1);
  QTest::keyClick(combo, Qt::Key_Down);
  EXPECT_EQ(text(Control::标签_空间或群), "输入QQ群号：");
  EXPECT_TRUE(gui->form().visible(Control::分组框1));
  QTest::keyClick(combo, Qt::Key_Up);
  EXPECT_EQ(text(Control::标签_空间或群), "输入目标QQ号码：");

  // Item 2 shows the version page and checks the maker's page once; the check button every time.
  toolbarClick(2);
  toolbarClick(2);
  EXPECT_EQ(gui->window().tabs()->currentIndex(), 1);
  ASSERT_TRUE(waitFor([&] { return text(Control::标签_banbenjieguo) == "无需更新"; }));
  EXPECT_EQ(text(Control::标签_zxbanben), "1.4");
  const auto updateRequests = [&] {
    int n = 0;
    for (const auto& request : standin.server().requests()) n += request.host == "fotolun.example.org";
    return n;
  };
  EXPECT_EQ(updateRequests(), 1);
  click(Control::按钮_checknew);
  EXPECT_EQ(updateRequests(), 2);

  toolbarClick(0);
  EXPECT_EQ(gui->window().tabs()->currentIndex(), 0);
  toolbarClick(4);
  gui->window().tabs()->setCurrentIndex(2);
  click(Control::标签7);
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].toString(), QStringLiteral("http://fotolun.example.org/feedback"));
  EXPECT_EQ(opened[1].toString(), QStringLiteral("http://fotolun.example.org/"));
}

// The chooser opens where the box points, a cancel changes nothing, and the choice outlives the run.
TEST_F(GuiTest, SaveFolderComesFromTheChooserIsRememberedAndOpensInTheFileManager) {
  startProgram();
  const QString programDirectory = QString::fromStdString(programFolder.path().string());
  chooserAnswer = QStringLiteral("/tmp/相册 ");
  click(Control::按钮_选择位置);
  ASSERT_EQ(chooserTitles.size(), 1u);
  EXPECT_EQ(chooserTitles[0], QStringLiteral("选择相册的存放位置"));
  EXPECT_EQ(chooserStarts[0], programDirectory);
  EXPECT_EQ(text(Control::编辑框_保存位置), "/tmp/相册");
  click(Control::按钮3);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], QUrl::fromLocalFile(QStringLiteral("/tmp/相册")));
  EXPECT_TRUE(boxes->seen.empty());

  chooserAnswer.clear();  // cancelled
  click(Control::按钮_选择位置);
  EXPECT_EQ(chooserStarts.back(), QStringLiteral("/tmp/相册"));
  EXPECT_EQ(text(Control::编辑框_保存位置), "/tmp/相册");

  // No file manager to start: the user is told, not left waiting.
  openSucceeds = false;
  click(Control::按钮3);
  ASSERT_EQ(boxes->seen.size(), 1u);
  EXPECT_EQ(boxes->seen[0].text, "没有能打开文件夹的程序（文件管理器），请自己打开：/tmp/相册");

  gui.reset();
  startProgram();
  EXPECT_EQ(text(Control::编辑框_保存位置), "/tmp/相册");
}

class ListedGuiTest : public GuiTest {
 protected:
  // Rows as the album lists leave them: name, id, question.
  void fill(std::initializer_list<std::array<const char*, 3>> rows) {
    Form& form = gui->form();
    for (const auto& [name, id, question] : rows) {
      const int row = form.appendRow();
      form.setCell(row, column::相册名称, gbk(name));
      form.setCell(row, column::相册ID, gbk(id));
      form.setCell(row, column::相册问题, gbk(question));
      form.setRowChecked(row, true);
    }
  }
  QRect rowRect(int row) {
    QTreeWidget* list = gui->window().albumList();
    return list->visualItemRect(list->topLevelItem(row));
  }
};

TEST_F(ListedGuiTest, RowClicksAndCheckBoxesDriveTheProtectedAlbumBox) {
  startProgram();
  fill({{"旅行", "V1a", "已授权"}, {"私密相册", "V1b", "我的生日是哪天？"}, {"家人", "V1c", "已授权"}});
  QTreeWidget* list = gui->window().albumList();

  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowRect(1).center());
  EXPECT_EQ(gui->form().selectedRow(), 1);
  EXPECT_EQ(text(Control::编辑框_QQ相册问题), "我的生日是哪天？");
  EXPECT_EQ(text(Control::编辑框_QQ相册名称), "私密相册");
  EXPECT_EQ(text(Control::编辑框_xiangceid), "V1b");
  // The keyboard moves to an accessible album: the boxes empty, the id stays.
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(text(Control::编辑框_QQ相册问题), "");
  EXPECT_EQ(text(Control::编辑框_xiangceid), "V1b");

  click(Control::选择框_反选);
  EXPECT_FALSE(gui->form().rowChecked(0) || gui->form().rowChecked(1) || gui->form().rowChecked(2));
  click(Control::选择框_全选);
  EXPECT_FALSE(gui->form().checked(Control::选择框_反选));
  EXPECT_TRUE(gui->form().rowChecked(0) && gui->form().rowChecked(1) && gui->form().rowChecked(2));
}

TEST_F(ListedGuiTest, FindWindowSelectsMatchingRowsBesideTheMainWindow) {
  startProgram();
  fill({{"Travel 2019", "1", "已授权"}, {"家人", "2", "已授权"}, {"travel 2020", "3", "已授权"}});
  click(Control::标签_查找);
  gui::SearchWindow* search = gui->searchWindow();
  ASSERT_NE(search, nullptr);
  EXPECT_TRUE(search->isVisible());
  EXPECT_EQ(search->parentWidget(), nullptr);
  EXPECT_FALSE(search->isModal());

  QTest::keyClicks(search->control(SearchControl::编辑框1), QStringLiteral("TRAVEL"));
  QTest::mouseClick(search->control(SearchControl::按钮_查找), Qt::LeftButton);
  EXPECT_EQ(gui->form().selectedRow(), 0);
  EXPECT_EQ(static_cast<QLabel*>(search->control(SearchControl::标签_行位置))->text(),
            QStringLiteral("第1行"));
  QTest::mouseClick(search->control(SearchControl::按钮_查找下一个), Qt::LeftButton);
  EXPECT_EQ(gui->form().selectedRow(), 2);
  // A hit is not a row click: the protected-album box keeps what it had.
  EXPECT_EQ(text(Control::编辑框_xiangceid), "");
  QTest::mouseClick(search->control(SearchControl::按钮_查找下一个), Qt::LeftButton);
  ASSERT_EQ(boxes->seen.size(), 1u);
  EXPECT_EQ(boxes->seen[0].text, "没有了");
  EXPECT_EQ(gui->controller().searchRow(), -1);
}

TEST_F(GuiTest, FormKeepsProgressInRangeAndTheNewestLogLineInView) {
  startProgram();
  Form& form = gui->form();
  form.setMaximum(Control::进度条1, 10);
  form.setPosition(Control::进度条1, 25);
  EXPECT_EQ(form.position(Control::进度条1), 10);
  form.setMaximum(Control::进度条1, 4);
  EXPECT_EQ(form.position(Control::进度条1), 4);

  for (int i = 0; i < 60; ++i) form.appendLog(gbk("第" + std::to_string(i) + "行\r\n"));
  auto* logBox = gui->window().as<QPlainTextEdit>(Control::编辑框_操作记录);
  QScrollBar* bar = logBox->verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
  const std::string all = log();
  EXPECT_EQ(all.rfind("操作记录.........第0行\r\n第1行\r\n", 0), 0u);
  EXPECT_EQ(all.substr(all.size() - 10), "第59行\r\n");

  // A cover comes back as a whole 100 × 100 picture, even from bytes that are no picture.
  form.resetImageList();
  const std::string jpeg = standin.photoBytes(standin.data().pictureUrls().front());
  ASSERT_FALSE(jpeg.empty());
  EXPECT_EQ(form.addCoverImage(jpeg), 0);
  EXPECT_EQ(form.addCoverImage("not a picture"), 1);
  ASSERT_EQ(gui->form().images().size(), 2u);
  EXPECT_EQ(gui->form().images()[0].size(), QSize(100, 100));
  EXPECT_EQ(gui->form().images()[1].size(), QSize(100, 100));
  const int row = form.appendRow();
  form.setRowImage(row, 0);
  EXPECT_FALSE(gui->window().albumList()->topLevelItem(row)->icon(column::封面).isNull());

  // A box without a caption takes the window's title; Cancel is its own answer.
  boxes->queue(MessageAnswer::Cancel);
  EXPECT_EQ(form.messageBox(gbk("问题"), "", MessageButtons::OkCancel), MessageAnswer::Cancel);
  EXPECT_EQ(form.messageBox(gbk("好"), gbk("信息："), MessageButtons::Ok), MessageAnswer::Ok);
  ASSERT_EQ(boxes->seen.size(), 2u);
  EXPECT_EQ(boxes->seen[0].caption, text(Control::窗口));
  EXPECT_EQ(boxes->seen[1].caption, "信息：");
}

}  // namespace
}  // namespace fotolun::testing
