#include "albums/list_interactions.h"

#include <gtest/gtest.h>

#include "albums/album_search.h"
#include "app_fixtures.h"
#include "form/locked_ui_thread.h"

namespace fotolun {
namespace {

using testing::FakeSearchForm;
using testing::fillAlbums;
using testing::gbk;
using testing::rowChecks;
using testing::ScriptedForm;

TEST(AlbumChecks, CheckAllClearsInvertAndChecksEveryRowOnlyWhenTurnedOn) {
  ScriptedForm form;
  fillAlbums(form, {{"a", "1", "", false}, {"b", "2", "", true}, {"c", "3", "", false}});
  form.setChecked(Control::选择框_反选, true);

  form.setChecked(Control::选择框_全选, false);
  selectAllAlbums(form);
  EXPECT_EQ(rowChecks(form), (std::vector<bool>{false, true, false}));
  EXPECT_TRUE(form.checked(Control::选择框_反选));

  form.setChecked(Control::选择框_全选, true);
  selectAllAlbums(form);
  EXPECT_EQ(rowChecks(form), (std::vector<bool>{true, true, true}));
  EXPECT_FALSE(form.checked(Control::选择框_反选));
}

TEST(AlbumChecks, InvertFlipsEveryRowOnlyWhenTurnedOn) {
  ScriptedForm form;
  fillAlbums(form, {{"a", "1", "", true}, {"b", "2", "", false}, {"c", "3", "", false}});
  form.setChecked(Control::选择框_全选, true);

  form.setChecked(Control::选择框_反选, true);
  invertAlbumSelection(form);
  EXPECT_EQ(rowChecks(form), (std::vector<bool>{false, true, true}));
  EXPECT_FALSE(form.checked(Control::选择框_全选));

  form.setChecked(Control::选择框_反选, false);
  invertAlbumSelection(form);
  EXPECT_EQ(rowChecks(form), (std::vector<bool>{false, true, true}));
}

class ProtectedAlbumTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fillAlbums(form, {{"旅行", "V1", "我的生日？"}, {"公开", "V2", ""}, {"答过", "V3", "已授权"}});
    form.setVisible(Control::分组框1, false);
    form.setText(Control::标签_验证结果, gbk("旧结果"));
  }
  std::string box(Control c) const { return form.textOf(c); }

  ScriptedForm form;
};

TEST_F(ProtectedAlbumTest, AnAlbumWithAnOpenQuestionFillsTheAccessBox) {
  form.selectRow(0);
  showProtectedAlbum(form);
  EXPECT_TRUE(form.visible(Control::分组框1));
  EXPECT_EQ(box(Control::编辑框_QQ相册问题), "我的生日？");
  EXPECT_EQ(box(Control::编辑框_QQ相册名称), "旅行");
  EXPECT_EQ(box(Control::编辑框_xiangceid), "V1");
  EXPECT_EQ(box(Control::标签_验证结果), "");
}

TEST_F(ProtectedAlbumTest, AnsweredOrOpenAlbumsClearNameAndQuestionButKeepTheId) {
  form.selectRow(0);
  showProtectedAlbum(form);
  for (int row : {2, 1}) {
    form.selectRow(row);
    showProtectedAlbum(form);
    EXPECT_EQ(box(Control::编辑框_QQ相册问题), "") << row;
    EXPECT_EQ(box(Control::编辑框_QQ相册名称), "") << row;
    EXPECT_EQ(box(Control::编辑框_xiangceid), "V1") << row;
  }
}

TEST_F(ProtectedAlbumTest, NoSelectedRowReadsAsAnOpenAlbum) {
  form.selectRow(-1);
  showProtectedAlbum(form);
  EXPECT_TRUE(form.visible(Control::分组框1));
  EXPECT_EQ(box(Control::编辑框_QQ相册问题), "");
  EXPECT_EQ(box(Control::标签_验证结果), "");
}

TEST(AlbumAccessPage, OpensTheLoginWindowAtTheOwnersPhotoPage) {
  ScriptedForm form;
  LockedUiThread ui;
  Program program(form, ui);
  program.hosts.personalSpace = "space.test";
  form.setText(Control::编辑框_号码, "12345");
  openAlbumAccessPage(program);
  EXPECT_EQ(program.loginAddress, "http://space.test/12345/photo/");
  EXPECT_EQ(form.logins(), std::vector<std::string>{"http://space.test/12345/photo/"});
}

class AlbumSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fillAlbums(form,
               {{"Summer 2019", "1", ""}, {"家人", "2", ""}, {"summer camp", "3", ""}, {"工作", "4", ""}});
  }
  void find(std::string_view keyword) {
    window.setKeyword(keyword);
    search.findAlbum(form, window);
  }
  void next() { search.findNextAlbum(form, window); }
  void previous() { search.findPreviousAlbum(form, window); }

  ScriptedForm form;
  FakeSearchForm window;
  AlbumSearch search;
};

TEST_F(AlbumSearchTest, FindShowsTheFirstMatchIgnoringLetterCase) {
  find("SUMMER");
  EXPECT_EQ(search.searchRow(), 0);
  EXPECT_EQ(form.selectedRow(), 0);
  EXPECT_EQ(form.scrolledRow(), 0);
  EXPECT_EQ(window.rowLabel(), "第1行");
  find("人");
  EXPECT_EQ(search.searchRow(), 1);
  EXPECT_EQ(window.rowLabel(), "第2行");
  EXPECT_TRUE(window.boxes.empty());
}

TEST_F(AlbumSearchTest, AMissNamesTheKeywordAndResetsTheRow) {
  find("旅行");
  EXPECT_EQ(search.searchRow(), -1);
  EXPECT_EQ(window.boxes, std::vector<std::string>{"未找到名称包含关键词：旅行的相册"});
  EXPECT_EQ(window.captions, std::vector<std::string>{""});
}

TEST_F(AlbumSearchTest, NextStartsAfterRowZeroBeforeAnyFindAndWrapsAfterAMiss) {
  window.setKeyword("summer");
  next();  // row 0 is skipped: the search row starts at 0
  EXPECT_EQ(search.searchRow(), 2);
  next();
  EXPECT_EQ(search.searchRow(), -1);
  EXPECT_EQ(window.boxes, std::vector<std::string>{"没有了"});
  next();
  EXPECT_EQ(search.searchRow(), 0);
  EXPECT_EQ(window.rowLabel(), "第1行");
}

TEST_F(AlbumSearchTest, PreviousReachesRowZeroAndWrapsToTheBottomAfterAMiss) {
  find("家");
  window.setKeyword("summer");
  previous();
  EXPECT_EQ(search.searchRow(), 0);
  previous();
  EXPECT_EQ(search.searchRow(), -1);
  EXPECT_EQ(window.boxes, std::vector<std::string>{"没有了"});
  previous();
  EXPECT_EQ(search.searchRow(), 2);
}

TEST_F(AlbumSearchTest, AHitRememberedFromALongerListDoesNotReachPastTheRows) {
  find("工作");
  ASSERT_EQ(search.searchRow(), 3);
  fillAlbums(form, {{"工作", "9", ""}});
  window.setKeyword("工作");
  previous();
  EXPECT_EQ(search.searchRow(), 0);
  next();
  EXPECT_EQ(search.searchRow(), -1);
}

}  // namespace
}  // namespace fotolun
