// "2.获取相册" for a QQ group, against the stand-in service.
#include <gtest/gtest.h>

#include <chrono>

#include "albums/album_list.h"
#include "support/standin_fixture.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

using standin::Fault;
using standin::FaultKind;

class GroupList : public testing::StandinTest {
 protected:
  GroupList() { signIn(standin.data().ordinaryAccount().qq); }

  void list(const standin::Group& group) {
    form.setText(Control::编辑框_号码, group.number);
    form.setCurrentIndex(Control::组合框1, 1);
    lists.onGetAlbums();
    lists.waitUntilListed();
  }

  std::string totalUrl(const std::string& group) {
    const SessionCredentials session = program.credentials.get();
    return "http://u.photo.qzone.qq.com/cgi-bin/upp/qun_list_album_v2?getTotalPhoto=1&inCharset=utf-8"
           "&outCharset=utf-8&callbackFun=_GroupAlbumList&qunId=" +
           group + "&uin=" + session.uin +
           "&start=0&num=1000&userinfo=1&t=0.8156231227330863&output_type=json&refer=jsapi&g_tk=" +
           session.gTk;
  }
  std::string pageUrl(const std::string& group, int start) {
    const SessionCredentials session = program.credentials.get();
    return "http://u.photo.qzone.qq.com/cgi-bin/upp/qun_list_album_v2?qunId=" + group +
           "&uin=" + session.uin + "&hostUin=" + session.uin + "&start=" + std::to_string(start) +
           "&num=1000&userInfo=1&format=json&platform=qzone&inCharset=utf-8&outCharset=utf-8&source=jsapi&g_"
           "tk=" +
           session.gTk;
  }
  std::string cell(int row, int column) { return GbkToUtf8(form.cell(row, column)); }

  AlbumLists lists{program};
};

TEST_F(GroupList, ListsTheAlbumsWithTitlesAsTheServiceWritesThem) {
  const standin::Group& group = standin.data().smallGroup();
  const std::string cookies = GbkToUtf8(program.credentials.get().cookieText);
  list(group);

  EXPECT_EQ(requestUrls(), (std::vector<std::string>{totalUrl(group.number), pageUrl(group.number, 0)}));
  for (const standin::Request& request : requests()) EXPECT_EQ(request.header("Cookie"), cookies);
  EXPECT_EQ(program.waits.all(), std::vector<int>{1000});

  const int count = static_cast<int>(group.albums.size());
  ASSERT_EQ(form.rowCount(), count);
  for (int i = 0; i < count; ++i) {
    const standin::GroupAlbum& album = group.albums[static_cast<std::size_t>(i)];
    SCOPED_TRACE(album.title);
    EXPECT_EQ(cell(i, column::序号), std::to_string(i + 1));
    EXPECT_EQ(cell(i, column::封面), "");
    EXPECT_EQ(cell(i, column::图片数量), std::to_string(album.photoCount()));
    EXPECT_EQ(cell(i, column::相册ID), album.id);
    EXPECT_EQ(cell(i, column::相册问题), "");
    EXPECT_TRUE(form.rowChecked(i));
  }
  // Titles are read as the JSON strings they are (escapes decoded), then only the quotes go.
  EXPECT_EQ(cell(0, column::相册名称), "聚会/2019");
  EXPECT_EQ(cell(1, column::相册名称), "say cheese");
  EXPECT_EQ(cell(2, column::相册名称), "a:b?c");
  EXPECT_EQ(cell(3, column::相册名称), "back\\slash");
  EXPECT_EQ(cell(6, column::相册名称), "?派对");
  EXPECT_EQ(cell(7, column::相册名称), "   ");

  EXPECT_EQ(form.textOf(Control::标签_进度条比例), "100%");
  EXPECT_EQ(form.textOf(Control::标签_动态), "相册获取完毕，共计：" + std::to_string(count) + "个");
  EXPECT_EQ(form.log(), "正努力获取相册列表，耐心等待哈！\r\n\r\n");
  EXPECT_TRUE(form.boxes().empty());
  EXPECT_FALSE(form.visible(Control::画板1));
  EXPECT_EQ(program.targetNumber.get(), "") << "a group list leaves the album owner alone";
  EXPECT_FALSE(lists.building());
}

TEST_F(GroupList, PagesThroughTwoAndAHalfThousandAlbums) {
  const standin::Group& group = standin.data().largeGroup();
  ASSERT_EQ(group.albums.size(), 2500u);
  list(group);

  EXPECT_EQ(requestUrls(),
            (std::vector<std::string>{totalUrl(group.number), pageUrl(group.number, 0),
                                      pageUrl(group.number, 1000), pageUrl(group.number, 2000)}));
  EXPECT_EQ(program.waits.all(), (std::vector<int>{1000, 1000, 1000}));
  ASSERT_EQ(form.rowCount(), 2500);
  for (int i = 0; i < 2500; ++i) {
    ASSERT_EQ(cell(i, column::序号), std::to_string(i + 1));
    ASSERT_EQ(cell(i, column::相册ID), group.albums[static_cast<std::size_t>(i)].id);
  }
  EXPECT_EQ(form.maximum(Control::进度条1), 2500);
  EXPECT_EQ(form.textOf(Control::标签_动态), "相册获取完毕，共计：2500个");
  EXPECT_TRUE(form.boxes().empty());
}

TEST_F(GroupList, ExactlyAThousandAlbumsEndOnTheEmptySecondPage) {
  const standin::Group& group = standin.data().thousandAlbumGroup();
  ASSERT_EQ(group.albums.size(), 1000u);
  list(group);

  EXPECT_EQ(requestUrls(), (std::vector<std::string>{totalUrl(group.number), pageUrl(group.number, 0),
                                                     pageUrl(group.number, 1000)}));
  EXPECT_EQ(form.rowCount(), 1000);
  EXPECT_TRUE(form.boxes().empty()) << "an empty page after a full one ends the list; it has albums";
  EXPECT_EQ(form.textOf(Control::标签_动态), "相册获取完毕，共计：1000个");
  EXPECT_EQ(lists.lastOutcome(), ListOutcome::listed);
}

TEST_F(GroupList, WithoutATotalTheFirstPageIsListedAndTheBarStaysAtNothing) {
  const standin::Group& group = standin.data().smallGroup();
  standin.server().addFault("getTotalPhoto=1", Fault{FaultKind::EmptyReply});
  list(group);

  EXPECT_EQ(requestsTo("&start=0&num=1000&userInfo=1").size(), 1u);
  EXPECT_EQ(form.rowCount(), static_cast<int>(group.albums.size()));
  EXPECT_EQ(form.maximum(Control::进度条1), 0);
  EXPECT_EQ(form.textOf(Control::标签_进度条比例), "0%");
  EXPECT_EQ(form.textOf(Control::标签_动态),
            "相册获取完毕，共计：" + std::to_string(group.albums.size()) + "个");
}

TEST_F(GroupList, ABrokenPageIsReportedAndKeepsTheRowsAlreadyListed) {
  const standin::Group& group = standin.data().largeGroup();
  standin.server().addFault("&start=1000&", Fault{FaultKind::NotJson});
  list(group);

  EXPECT_EQ(requestsTo("&start=1000&").size(), 1u);
  EXPECT_EQ(requestsTo("&start=2000&").size(), 0u);
  EXPECT_EQ(form.rowCount(), 1000);
  ASSERT_EQ(form.boxes().size(), 1u);
  EXPECT_EQ(form.boxes()[0].text, "获取相册列表失败：回复不是JSON");
  EXPECT_NE(form.log().find("获取相册列表失败：回复不是JSON\r\n"), std::string::npos);
  EXPECT_EQ(lists.lastOutcome(), ListOutcome::failed);
}

TEST_F(GroupList, WithoutASessionTheListIsEmptiedAndAsksToSignIn) {
  const standin::PersonalAccount& account = standin.data().ordinaryAccount();
  form.setText(Control::编辑框_号码, account.qq);
  form.setCurrentIndex(Control::组合框1, 0);
  lists.onGetAlbums();
  lists.waitUntilListed();
  ASSERT_GT(form.rowCount(), 0);

  program.credentials.set({});
  list(standin.data().smallGroup());
  EXPECT_EQ(form.rowCount(), 0);
  ASSERT_EQ(form.boxes().size(), 1u);
  EXPECT_EQ(form.boxes()[0].text, "请先登录");
  EXPECT_EQ(form.logins().size(), 1u);
  EXPECT_EQ(lists.lastOutcome(), ListOutcome::notSignedIn);
}

TEST_F(GroupList, ASecondPressIsRefusedAndClosingTheProgramStopsTheList) {
  const standin::Group& group = standin.data().largeGroup();
  standin.server().addFault("qun_list_album_v2", Fault{FaultKind::Delay, -1, std::chrono::seconds(20)});
  form.setText(Control::编辑框_号码, group.number);
  form.setCurrentIndex(Control::组合框1, 1);
  const auto started = std::chrono::steady_clock::now();
  ui.send([&] {
    lists.onGetAlbums();
    EXPECT_TRUE(lists.building());
    lists.onGetAlbums();
  });
  lists.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  EXPECT_FALSE(lists.building());
  EXPECT_EQ(form.log(), "正努力获取相册列表，耐心等待哈！\r\n\r\n相册列表还在获取中，请等它完成后再获取\r\n");
  EXPECT_EQ(form.rowCount(), 0);
  EXPECT_TRUE(form.boxes().empty());
  EXPECT_FALSE(form.visible(Control::画板1));
}

}  // namespace
}  // namespace fotolun
