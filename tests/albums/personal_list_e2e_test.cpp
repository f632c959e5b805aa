// "2.获取相册" for a QQ number, against the stand-in service.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>

#include "albums/album_list.h"
#include "albums/cover_placeholders.h"
#include "support/standin_fixture.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

using standin::Fault;
using standin::FaultKind;
using testing::gbk;

class PersonalList : public testing::StandinTest {
 protected:
  void press(const std::string& qq) {
    form.setText(Control::编辑框_号码, qq);
    form.setCurrentIndex(Control::组合框1, 0);
    lists.onGetAlbums();
  }
  void list(const std::string& qq) {
    press(qq);
    lists.waitUntilListed();
  }

  std::string listUrl(const std::string& qq) {
    return "http://" + standin.data().routeFor(qq).albumHost + "/fcgi-bin/fcg_list_album_v2?hostUin=" + qq +
           "&format=json&plat=qzone&source=qzone&t=&g_tk=" + program.credentials.get().gTk;
  }
  static std::string routeUrl(const std::string& qq) {
    return "http://route.store.qq.com/GetRoute?UIN=" + qq + "&type=json&version=2&json_esc=1";
  }
  std::string cell(int row, int column) { return GbkToUtf8(form.cell(row, column)); }

  // The panel went up and came down again.
  void expectPanelShownThenHidden() {
    const std::vector<std::string> changes = form.changes();
    std::vector<std::string> panel;
    for (const std::string& change : changes) {
      if (change.starts_with("setVisible 画板1")) panel.push_back(change);
    }
    EXPECT_EQ(panel, (std::vector<std::string>{"setVisible 画板1 = 1", "setVisible 画板1 = 0"}));
  }

  const standin::PersonalAccount& ordinary = standin.data().ordinaryAccount();
  AlbumLists lists{program};
};

TEST_F(PersonalList, ListsEveryAlbumAsACheckedRowInReplyOrder) {
  signIn(ordinary.qq);
  const std::string signedInCookies = GbkToUtf8(program.credentials.get().cookieText);
  form.setText(Control::标签_选择了相册数量, gbk("已选3个"));
  form.setText(Control::标签_第多少张照片, gbk("第9张"));
  list(ordinary.qq);

  EXPECT_EQ(requestUrls(), (std::vector<std::string>{routeUrl(ordinary.qq), listUrl(ordinary.qq)}));
  EXPECT_EQ(requests()[1].header("Cookie"), signedInCookies);
  EXPECT_EQ(program.targetNumber.get(), ordinary.qq);

  // Names as they may stand in a folder name; nothing left gives "未知相册" and five capitals.
  const std::map<std::string, std::string> shownNames = {
      {"旅行2019", "旅行2019"},
      {"家人：聚会？", "家人聚会"},
      {"a:b\\c/d?e*f<g>h|i", "abcdefghi"},
      {"（我的）照片·！，。", "我的照片"},
      {"生日🎂快乐", "生日快乐"},  // what GBK cannot hold arrives as "?"
      {"say \"hi\" \\ back\\slash", "say hi  backslash"},
      {"v1.0 final.", "v10 final"},
  };
  const int count = static_cast<int>(ordinary.albums.size());
  ASSERT_EQ(form.rowCount(), count);
  for (int i = 0; i < count; ++i) {
    const standin::PersonalAlbum& album = ordinary.albums[static_cast<std::size_t>(i)];
    SCOPED_TRACE(album.name);
    EXPECT_EQ(cell(i, column::序号), std::to_string(i + 1));
    const std::string name = cell(i, column::相册名称);
    if (auto shown = shownNames.find(album.name); shown != shownNames.end()) {
      EXPECT_EQ(name, shown->second);
    } else if (album.name.empty() || album.name == "：？。") {
      ASSERT_EQ(name.size(), std::string("未知相册").size() + 5);
      EXPECT_TRUE(name.starts_with("未知相册"));
      for (char letter : name.substr(name.size() - 5)) EXPECT_TRUE(letter >= 'A' && letter <= 'Z') << name;
    }
    EXPECT_EQ(cell(i, column::封面), "");
    EXPECT_EQ(cell(i, column::图片数量), std::to_string(album.photoCount()));
    EXPECT_EQ(cell(i, column::相册ID), album.id);
    EXPECT_EQ(cell(i, column::相册问题), album.isProtected() ? album.question : "已授权");
    EXPECT_EQ(cell(i, column::相册密码), "");
    EXPECT_TRUE(form.rowChecked(i));
  }

  EXPECT_EQ(form.columnWidth(column::封面), 0);
  EXPECT_TRUE(form.images().empty()) << "no cover is fetched without 选择框_封面图";
  EXPECT_EQ(form.maximum(Control::进度条1), count);
  EXPECT_EQ(form.position(Control::进度条1), count);
  EXPECT_EQ(form.textOf(Control::标签_进度条比例), "100%");
  EXPECT_EQ(form.textOf(Control::标签_选择了相册数量), "") << "the last download's labels are cleared";
  EXPECT_EQ(form.textOf(Control::标签_第多少张照片), "");
  const std::string total = std::to_string(count);
  EXPECT_EQ(form.textOf(Control::标签_动态), "温馨提示：相册列表获取完毕,共计" + total + "个");
  EXPECT_EQ(form.log(), "正努力获取相册列表，耐心等待哈！\r\n\r\n-----获取完毕,共计" + total + "个\r\n\r\n");
  EXPECT_TRUE(form.boxes().empty());
  EXPECT_TRUE(program.waits.all().empty());
  expectPanelShownThenHidden();
}

TEST_F(PersonalList, WithCoversEveryRowShowsItsPictureFetchedWithoutTheSession) {
  signIn(ordinary.qq);
  form.setChecked(Control::选择框_封面图, true);
  list(ordinary.qq);

  const int count = static_cast<int>(ordinary.albums.size());
  ASSERT_EQ(form.rowCount(), count);
  ASSERT_EQ(static_cast<int>(form.images().size()), count);
  EXPECT_EQ(form.columnWidth(column::封面), 100);
  std::vector<std::string> coverUrls;
  for (int i = 0; i < count; ++i) {
    const standin::PersonalAlbum& album = ordinary.albums[static_cast<std::size_t>(i)];
    SCOPED_TRACE(album.name);
    EXPECT_EQ(form.rows()[static_cast<std::size_t>(i)].image, i);
    const ByteBuffer& picture = form.images()[static_cast<std::size_t>(i)];
    if (album.isProtected()) {
      EXPECT_EQ(picture, needPassCover());
    } else if (album.photos.empty()) {
      EXPECT_EQ(picture, noPhotoCover());
    } else {
      EXPECT_FALSE(picture.empty());
      EXPECT_EQ(picture, standin.photoBytes(album.coverUrl));
      coverUrls.push_back(album.coverUrl);
    }
  }

  // The placeholders are the program's own: only real covers are requested, and never with cookies.
  const std::vector<standin::Request> all = requests();
  ASSERT_EQ(all.size(), 2 + coverUrls.size());
  for (std::size_t i = 0; i < coverUrls.size(); ++i) {
    EXPECT_EQ(all[2 + i].url, coverUrls[i]);
    EXPECT_EQ(all[2 + i].header("Cookie"), "") << all[2 + i].url;
  }
}

TEST_F(PersonalList, WithoutASessionAsksToSignInAtTheHomePage) {
  list(ordinary.qq);
  ASSERT_EQ(form.boxes().size(), 1u);
  EXPECT_EQ(form.boxes()[0].text, "请先登录");
  EXPECT_EQ(form.boxes()[0].caption, "");
  EXPECT_EQ(form.logins(), std::vector<std::string>{"http://user.qzone.qq.com/"});
  EXPECT_EQ(program.loginAddress, "http://user.qzone.qq.com/");
  EXPECT_EQ(form.rowCount(), 0);
  EXPECT_EQ(requestsTo("fcg_list_album_v2").size(), 1u) << "a refusal is an answer, not retried";
  expectPanelShownThenHidden();
}

TEST_F(PersonalList, APrivateAccountIsRefused) {
  signIn(ordinary.qq);
  list(standin.data().privateAccount().qq);
  ASSERT_EQ(form.boxes().size(), 1u);
  EXPECT_EQ(form.boxes()[0].text, "您没有访问该QQ相册的权限");
  EXPECT_EQ(form.boxes()[0].caption, "");
  EXPECT_TRUE(form.logins().empty());
  EXPECT_EQ(form.rowCount(), 0);
  expectPanelShownThenHidden();
}

TEST_F(PersonalList, AnAccountWithoutAlbumsSaysSo) {
  signIn(ordinary.qq);
  list(ordinary.qq);
  list(standin.data().accountWithoutAlbums().qq);
  ASSERT_EQ(form.boxes().size(), 1u);
  EXPECT_EQ(form.boxes()[0].text, "获取到相册个数为0");
  EXPECT_EQ(form.boxes()[0].caption, "温馨提示");
  EXPECT_EQ(form.rowCount(), 0) << "the earlier list is gone";
  EXPECT_FALSE(form.visible(Control::画板1));
}

TEST_F(PersonalList, EmptyRepliesAreAskedAgainTwoSecondsApart) {
  signIn(ordinary.qq);
  standin.server().addFault("fcg_list_album_v2", Fault{FaultKind::EmptyReply, 3});
  list(ordinary.qq);
  EXPECT_EQ(requestsTo("fcg_list_album_v2").size(), 4u);
  EXPECT_EQ(program.waits.all(), (std::vector<int>{2000, 2000, 2000}));
  EXPECT_EQ(form.rowCount(), static_cast<int>(ordinary.albums.size()));
  EXPECT_TRUE(form.boxes().empty());
}

// Ten attempts two seconds apart, then waits that grow to five minutes, announced, until the
// patience has been waited; then the list says it got no answer rather than "no albums".
TEST_F(PersonalList, AServiceThatNeverAnswersIsWaitedOutThenReportedAsUnanswered) {
  signIn(ordinary.qq);
  standin.server().addFault("fcg_list_album_v2", Fault{FaultKind::DropBeforeBody});
  list(ordinary.qq);
  const std::vector<int> waits = program.waits.all();
  ASSERT_GT(waits.size(), 10u);
  EXPECT_EQ(std::vector<int>(waits.begin(), waits.begin() + 9), std::vector<int>(9, 2000));
  for (int wait : waits) EXPECT_LE(wait, 6 * 60000) << "five minutes at most, with jitter";
  EXPECT_GT(*std::max_element(waits.begin(), waits.end()), 4 * 60000) << "the waits grow";
  long long total = 0;
  for (int wait : waits) total += wait;
  EXPECT_LE(total, program.patienceMs);
  EXPECT_GT(total, program.patienceMs - 2000) << "the whole patience is given";
  EXPECT_EQ(requestsTo("fcg_list_album_v2").size(), waits.size() + 1);
  EXPECT_NE(form.log().find("服务器没有回应，"), std::string::npos);
  ASSERT_EQ(form.boxes().size(), 1u);
  EXPECT_EQ(form.boxes()[0].text, "获取相册列表失败：没有回应");
  EXPECT_EQ(lists.lastOutcome(), ListOutcome::failed);
  EXPECT_FALSE(form.visible(Control::画板1));
}

TEST_F(PersonalList, ASecondPressWhileListingIsRefused) {
  signIn(ordinary.qq);
  form.setText(Control::编辑框_号码, ordinary.qq);
  form.setCurrentIndex(Control::组合框1, 0);
  // Holding the UI thread keeps the first list from making any progress meanwhile.
  ui.send([&] {
    lists.onGetAlbums();
    EXPECT_TRUE(lists.building());
    lists.onGetAlbums();
  });
  lists.waitUntilListed();
  EXPECT_FALSE(lists.building());
  EXPECT_EQ(form.log(),
            "正努力获取相册列表，耐心等待哈！\r\n\r\n相册列表还在获取中，请等它完成后再获取\r\n"
            "-----获取完毕,共计" +
                std::to_string(ordinary.albums.size()) + "个\r\n\r\n");
  EXPECT_EQ(requestsTo("fcg_list_album_v2").size(), 1u);
  EXPECT_EQ(form.rowCount(), static_cast<int>(ordinary.albums.size()));

  list(ordinary.qq);  // once the list is complete the button works again
  EXPECT_EQ(requestsTo("fcg_list_album_v2").size(), 2u);
}

TEST_F(PersonalList, ClosingTheProgramStopsAListInFlight) {
  signIn(ordinary.qq);
  standin.server().addFault("fcg_list_album_v2", Fault{FaultKind::Delay, -1, std::chrono::seconds(20)});
  const auto started = std::chrono::steady_clock::now();
  press(ordinary.qq);
  lists.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  EXPECT_FALSE(lists.building());
  EXPECT_EQ(form.rowCount(), 0);
  EXPECT_TRUE(form.boxes().empty());
  EXPECT_FALSE(form.visible(Control::画板1));
}

}  // namespace
}  // namespace fotolun
