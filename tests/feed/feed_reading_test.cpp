// What the list of posts says, read as the download needs it: posts and their pictures, the
// list's end and refusals, the names the pictures take and what tells one picture from another.
#include <gtest/gtest.h>

#include "feed/feed_endpoints.h"
#include "feed/feed_names.h"
#include "feed/feed_reader.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

// 2019-05-01 00:00:00 in China time.
constexpr std::time_t kMayDay = 1556640000;

TEST(FeedPage, PostsPicturesVideosAndForwardsAreRead) {
  const std::optional<FeedPage> page = readFeedPage(R"({"code":0,"total":57,"msglist":[
    {"tid":"a1","content":"海边\"日落\"","created_time":1556640000,"pictotal":12,
     "pic":[{"pic_id":"p1","width":1600,"height":1200,"url1":"http://h/m","url2":"http://h/b","url3":"http://h/o"},
            {"pic_id":"p2","width":"800","height":600,"url1":"http://h/x","url2":"http://h/x","url3":"http://h/y"},
            {"pic_id":"v1","is_video":1,"url1":"http://h/cover","video_info":{"video_url":"http://v/1.mp4"}}],
     "video":[{"url1":"http://h/cover","url3":"http://v/1.mp4"},{"video_id":"v2","url1":"c","url3":"http://v/2.mp4"}]},
    {"tid":"a2","content":"","created_time":"1556600000","rt_uinname":"小明","rt_con":{"content":"原文"}},
    "not a post"]})",
                                                    40);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->total, 57);
  ASSERT_EQ(page->posts.size(), 2u);
  const FeedPost& first = page->posts[0];
  EXPECT_EQ(first.content, "海边\"日落\"");
  EXPECT_EQ(first.created, kMayDay);
  EXPECT_EQ(first.pagePosition, 40);
  ASSERT_EQ(first.media.size(), 4u);  // the video both lists give is kept once
  EXPECT_EQ(first.media[0].copies, (std::vector<std::string>{"http://h/o", "http://h/b", "http://h/m"}));
  EXPECT_EQ(first.media[1].copies, (std::vector<std::string>{"http://h/y", "http://h/x"}));
  EXPECT_EQ(first.media[1].width, 800);
  EXPECT_TRUE(first.media[2].video);
  EXPECT_EQ(first.media[2].copies, std::vector<std::string>{"http://v/1.mp4"});
  EXPECT_EQ(first.media[3].id, "v2");
  EXPECT_TRUE(first.picturesLeftOut());
  EXPECT_EQ(first.mediaCount(), 13);  // pic[]'s 12 (one a video), and a video only video[] names
  const FeedPost& forwarded = page->posts[1];
  EXPECT_EQ(forwarded.created, 1556600000);
  EXPECT_EQ(forwarded.description(), "转发 小明：原文");
  EXPECT_EQ(forwarded.mediaCount(), 0);

  for (const char* end : {R"({"code":0,"total":3,"msglist":null})", R"({"code":0,"total":3,"msglist":[]})",
                          R"({"code":0,"total":3})"}) {
    ASSERT_TRUE(readFeedPage(end, 0)) << end;
    EXPECT_TRUE(readFeedPage(end, 0)->posts.empty()) << end;
  }
  EXPECT_FALSE(readFeedPage("<html>", 0));

  const auto pictures =
      readPostPictures(R"({"imageUrls":[{"pic_id":"p9","url3":"http://h/o"},"http://h/bare"]})");
  ASSERT_TRUE(pictures);
  ASSERT_EQ(pictures->size(), 2u);
  EXPECT_EQ((*pictures)[1].copies, std::vector<std::string>{"http://h/bare"});
  EXPECT_FALSE(readPostPictures(R"({"code":0})"));
}

TEST(FeedPage, RepliesAreJudgedAsTheListsAre) {
  const struct {
    const char* reply;
    ReplyProblem problem;
  } cases[] = {
      {R"({"code":0,"total":0,"msglist":null})", ReplyProblem::none},
      {R"({"code":0,"msglist":[{"tid":"t"}]})", ReplyProblem::none},
      {R"({"code":-3000,"message":"请先登录"})", ReplyProblem::notSignedIn},
      {R"({"code":-10031,"message":"对不起,主人设置了保密,您没有权限查看"})", ReplyProblem::noPermission},
      {R"({"code":-10000,"message":"使用人数过多，请稍后再试"})", ReplyProblem::busy},
      {R"({"total":1})", ReplyProblem::broken},  // no code: not taken for the end
      {R"({"code":-1,"message":"x"})", ReplyProblem::broken},
  };
  for (const auto& c : cases) {
    const std::string jsonp = std::string("_preloadCallback(") + c.reply + ");";
    EXPECT_EQ(judgeReply(jsonp, 200, "", kFeedPageShape).problem, c.problem) << c.reply;
  }
}

FeedPost postAt(std::time_t created, int pictures = 1) {
  FeedPost post;
  post.created = created;
  post.media.resize(static_cast<std::size_t>(pictures));
  post.pictureItems = post.pictureTotal = pictures;
  return post;
}

TEST(FeedNames, PostsAreNumberedOldestFirstWithinTheirChinaDay) {
  // Newest first, as the list gives them; the last two share a second, and words alone take no place.
  const std::vector<FeedPost> posts = {
      postAt(kMayDay + 86400), postAt(kMayDay + 7200), postAt(kMayDay + 100, 0), postAt(kMayDay + 60),
      postAt(kMayDay),         postAt(kMayDay - 1),    postAt(kMayDay - 1)};
  EXPECT_EQ(dayOrders(posts), (std::vector<int>{1, 3, 0, 2, 1, 2, 1}));
  EXPECT_EQ(feedFileStem(posts[1], 3, 2), "2019-05-01_3_2");
  EXPECT_EQ(feedFileStem(posts[5], 2, 1), "2019-04-30_2_1");
  EXPECT_EQ(feedYear(posts[5]), "2019");
  EXPECT_EQ(feedYear(FeedPost{}), "0000");
  EXPECT_EQ(feedFileStem(FeedPost{}, 1, 1), "0000-00-00_1_1");
}

TEST(FeedNames, APictureIsKnownByItsIdElseItsAddressWithoutSize) {
  const auto key = [](std::string id, std::string url) {
    return feedMediaKey(FeedMedia{id, {url}, 0, 0, false});
  };
  EXPECT_EQ(key("p1", "http://a1.qpic.cn/psc?/V5/abc/o&bo=1"), "p1");
  EXPECT_EQ(key("", "http://a1.qpic.cn/psc?/V5/abc/o&bo=1&rf=x"),
            key("", "http://b9.qpic.cn/psc?/V5/abc/b&bo=2"));
  EXPECT_NE(key("", "http://a1.qpic.cn/psc?/V5/abc/o"), key("", "http://a1.qpic.cn/psc?/V5/abd/o"));
  EXPECT_EQ(key("", "http://v.qq.com/f/1.mp4?vkey=9"), "/f/1.mp4");
  EXPECT_EQ(key("", ""), "");  // nothing to tell it by: never skipped, never recorded
}

TEST(FeedRead, HiddenPostsAreThePlacesReadThatShowedNone) {
  FeedRead read;
  read.total = 57;
  read.posts.resize(37);
  read.placesRead = 40;
  EXPECT_EQ(read.hidden(), 3);
  read.complete = true;
  read.posts.resize(52);
  EXPECT_EQ(read.hidden(), 5);
}

}  // namespace
}  // namespace fotolun
