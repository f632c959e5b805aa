#include "app/save_folder.h"

#include <gtest/gtest.h>

#include "app/settings_file.h"
#include "app_fixtures.h"

namespace fotolun {
namespace {

using testing::FakeDesktop;
using testing::gbk;
using testing::ScratchFolder;
using testing::ScriptedForm;

class SaveFolderTest : public ::testing::Test {
 protected:
  std::string saveFolder() const { return form.textOf(Control::编辑框_保存位置); }

  const Text programDirectory = gbk("/opt/相册工具");
  ScratchFolder folder;
  const Text settings = settingsFilePath(folder.dir());
  ScriptedForm form;
  FakeDesktop desktop;
};

// The chooser opens where the box points (the program directory when it is empty); what it gives
// loses its surrounding spaces and is remembered; a cancel leaves box and settings as they were.
TEST_F(SaveFolderTest, TheChooserStartsAtTheBoxAndACancelChangesNothing) {
  struct Step {
    const char* box;
    const char* answer;
    const char* start;
    const char* after;
  };
  for (const Step& step : {Step{"", "　 /home/用户/相册 　", "/opt/相册工具", "/home/用户/相册"},
                           Step{"/home/用户/相册", "", "/home/用户/相册", "/home/用户/相册"},
                           Step{"/data/照片", "   ", "/data/照片", "/data/照片"}}) {
    SCOPED_TRACE(step.answer);
    form.setText(Control::编辑框_保存位置, gbk(step.box));
    desktop.chooserAnswer = gbk(step.answer);
    chooseSaveFolder(form, desktop, programDirectory, settings);
    EXPECT_EQ(desktop.chooserTitles.back(), "选择相册的存放位置");
    EXPECT_EQ(desktop.chooserStarts.back(), step.start);
    EXPECT_EQ(saveFolder(), step.after);
    EXPECT_EQ(rememberedSaveFolder(settings), gbk("/home/用户/相册"));
  }
}

TEST_F(SaveFolderTest, OpensTheSaveFolderOrTheProgramDirectoryAndSaysWhenNothingCouldOpenIt) {
  form.setText(Control::编辑框_保存位置, gbk("/data/照片"));
  openSaveFolder(form, desktop, programDirectory);
  form.setText(Control::编辑框_保存位置, "");
  openSaveFolder(form, desktop, programDirectory);
  EXPECT_EQ(desktop.openedFolders, (std::vector<std::string>{"/data/照片", "/opt/相册工具"}));
  EXPECT_TRUE(form.boxes().empty());
  desktop.folderOpens = false;
  openSaveFolder(form, desktop, programDirectory);
  ASSERT_EQ(form.boxes().size(), 1u);
  EXPECT_EQ(form.boxes()[0].text, "没有能打开文件夹的程序（文件管理器），请自己打开：/opt/相册工具");
}

}  // namespace
}  // namespace fotolun
