// The button's checks that come before any request.
#include <gtest/gtest.h>

#include "albums/album_list.h"
#include "form/locked_ui_thread.h"
#include "support/scripted_form.h"

namespace fotolun {
namespace {

using testing::gbk;

struct PressFixture : ::testing::Test {
  testing::ScriptedForm form;
  LockedUiThread ui;
  Program program{form, ui};
  AlbumLists lists{program};
};

TEST_F(PressFixture, WithoutANumberOnlyAsksForOne) {
  form.setText(Control::标签_进度条比例, "50%");
  form.clearChanges();
  lists.onGetAlbums();
  ASSERT_EQ(form.boxes().size(), 1u);
  EXPECT_EQ(form.boxes()[0].text, "输入QQ或者群号");
  EXPECT_EQ(form.boxes()[0].caption, "");
  EXPECT_EQ(form.changes().size(), 1u) << "nothing but the message box";
  EXPECT_FALSE(lists.building());
}

TEST_F(PressFixture, WithoutASourceOnlyHidesThePanel) {
  form.setText(Control::编辑框_号码, "10001");
  form.setText(Control::标签_选择了相册数量, gbk("选择了3个"));
  form.setCurrentIndex(Control::组合框1, -1);
  form.clearChanges();
  lists.onGetAlbums();
  EXPECT_EQ(form.textOf(Control::标签_选择了相册数量), "");
  EXPECT_FALSE(form.visible(Control::画板1));
  EXPECT_EQ(form.log(), "");
  EXPECT_EQ(program.targetNumber.get(), "") << "only a personal list sets the album owner";
}

}  // namespace
}  // namespace fotolun
