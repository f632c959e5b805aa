#include "app/save_folder.h"

#include <gtest/gtest.h>

#include "app_fixtures.h"

namespace fotolun {
namespace {

using testing::FakeDesktop;
using testing::gbk;
using testing::ScriptedForm;

class SaveFolderTest : public ::testing::Test {
 protected:
  std::string saveFolder() const { return form.textOf(Control::编辑框_保存位置); }

  const Text programDirectory = gbk("/opt/相册工具");
  ScriptedForm form;
  FakeDesktop desktop;
};

TEST_F(SaveFolderTest, TheChooserOpensAtTheTopWithItsTitleAndItsAnswerLosesSurroundingSpaces) {
  desktop.chooserAnswer = gbk("　 /home/用户/相册 　");
  chooseSaveFolder(form, desktop, programDirectory);
  EXPECT_EQ(desktop.chooserTitles, std::vector<std::string>{"选择相册的存放位置"});
  EXPECT_EQ(desktop.chooserStarts, std::vector<std::string>{"/"});
  EXPECT_EQ(saveFolder(), "/home/用户/相册");
}

TEST_F(SaveFolderTest, CancellingFallsBackToTheProgramDirectoryNotThePreviousFolder) {
  form.setText(Control::编辑框_保存位置, gbk("/home/用户/相册"));
  desktop.chooserAnswer = "";
  chooseSaveFolder(form, desktop, programDirectory);
  EXPECT_EQ(saveFolder(), "/opt/相册工具");
  desktop.chooserAnswer = "   ";
  chooseSaveFolder(form, desktop, programDirectory);
  EXPECT_EQ(saveFolder(), "/opt/相册工具");
}

TEST_F(SaveFolderTest, OpensTheSaveFolderOrTheProgramDirectoryWhenEmpty) {
  form.setText(Control::编辑框_保存位置, gbk("/data/照片"));
  openSaveFolder(form, desktop, programDirectory);
  form.setText(Control::编辑框_保存位置, "");
  openSaveFolder(form, desktop, programDirectory);
  EXPECT_EQ(desktop.openedFolders, (std::vector<std::string>{"/data/照片", "/opt/相册工具"}));
}

}  // namespace
}  // namespace fotolun
