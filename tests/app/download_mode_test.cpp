#include "app/download_mode.h"

#include <gtest/gtest.h>

#include "app/settings_file.h"
#include "app_fixtures.h"

namespace fotolun {
namespace {

using testing::gbk;
using testing::readBytes;
using testing::ScratchFolder;
using testing::ScriptedForm;
using testing::writeBytes;

class DownloadModeTest : public ::testing::Test {
 protected:
  Text settings() const { return settingsFilePath(folder.dir()); }
  std::string stored() const { return readBytes(folder.file("peizi.ini")); }
  void showMode(bool original) {
    form.setChecked(Control::选择框_原图, original);
    form.setChecked(Control::选择框_高清, !original);
  }
  // A click toggles the box before the handler runs.
  void click(Control box) {
    form.setChecked(box, !form.checked(box));
    if (box == Control::选择框_原图) {
      onOriginalSizeClicked(form, settings());
    } else {
      onHdClicked(form, settings());
    }
  }
  bool original() const { return form.checked(Control::选择框_原图); }
  bool hd() const { return form.checked(Control::选择框_高清); }

  ScratchFolder folder;
  ScriptedForm form;
};

TEST_F(DownloadModeTest, StartsInHdWithoutASettingsFile) {
  showMode(true);
  applySavedDownloadMode(form, settings());
  EXPECT_TRUE(hd());
  EXPECT_FALSE(original());
  EXPECT_TRUE(folder.names().empty()) << "reading creates no file";
}

TEST_F(DownloadModeTest, AnyStoredValueButHdMeansOriginalSize) {
  for (const char* value : {"原图", "", "garbage", "高清 x"}) {
    writeBytes(folder.file("peizi.ini"), gbk(std::string("[下载模式]\r\n模式=") + value + "\r\n"));
    showMode(false);
    applySavedDownloadMode(form, settings());
    EXPECT_TRUE(original()) << value;
    EXPECT_FALSE(hd()) << value;
  }
  writeBytes(folder.file("peizi.ini"), gbk("[下载模式]\r\n模式 = 高清 \r\n"));
  applySavedDownloadMode(form, settings());
  EXPECT_TRUE(hd());
}

TEST_F(DownloadModeTest, TheBoxesStayExclusiveAndTheFileFollowsEveryClick) {
  showMode(false);
  click(Control::选择框_原图);
  EXPECT_TRUE(original());
  EXPECT_FALSE(hd());
  EXPECT_EQ(stored(), gbk("[下载模式]\r\n模式=原图\r\n"));

  click(Control::选择框_原图);  // unchecking original falls back to HD
  EXPECT_FALSE(original());
  EXPECT_TRUE(hd());
  EXPECT_EQ(stored(), gbk("[下载模式]\r\n模式=高清\r\n"));

  click(Control::选择框_高清);  // unchecking HD falls back to original
  EXPECT_TRUE(original());
  EXPECT_FALSE(hd());
  EXPECT_EQ(stored(), gbk("[下载模式]\r\n模式=原图\r\n"));

  click(Control::选择框_高清);
  EXPECT_TRUE(hd());
  EXPECT_FALSE(original());
  EXPECT_EQ(stored(), gbk("[下载模式]\r\n模式=高清\r\n"));
}

TEST_F(DownloadModeTest, AClickKeepsWhateverElseTheUserWroteIntoTheFile) {
  writeBytes(folder.file("peizi.ini"), gbk("; 我的设置\r\n[窗口]\r\n位置=1\r\n[下载模式]\r\n模式=高清\r\n"));
  showMode(false);
  click(Control::选择框_原图);
  EXPECT_EQ(stored(), gbk("; 我的设置\r\n[窗口]\r\n位置=1\r\n[下载模式]\r\n模式=原图\r\n"));
}

TEST_F(DownloadModeTest, AnUnwritableFileStillChangesTheBoxes) {
  // A folder that cannot be made: its parent is a file.
  writeBytes(folder.file("plain"), "");
  form.setChecked(Control::选择框_原图, true);
  onOriginalSizeClicked(form, settingsFilePath(folder.dir() + "/plain/sub"));
  EXPECT_TRUE(original());
  EXPECT_FALSE(hd());
}

}  // namespace
}  // namespace fotolun
