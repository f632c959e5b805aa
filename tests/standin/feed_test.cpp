// A space's feed read as the program reads it: the refusals, places that hidden posts take, the
// pictures behind a post of more than nine, and the four sizes behind every picture.
#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "download/image_size.h"
#include "standin/placeholder_gif.h"
#include "standin/sign_in_cookies.h"
#include "standin_requests.h"

namespace fotolun::standin {
namespace {

const std::string kTaotao = "https://user.qzone.qq.com/proxy/domain/taotao.qq.com/cgi-bin/";

json_object* Member(json_object* object, const char* name) {
  json_object* value = nullptr;
  return json_object_object_get_ex(object, name, &value) ? value : nullptr;
}

// The size a picture's header states, as the program reads it.
std::pair<int, int> JpegSize(const std::string& bytes) {
  const std::optional<ImageSize> size = imageSize(bytes);
  return size ? std::pair(size->width, size->height) : std::pair(0, 0);
}

class Feed : public ::testing::Test {
 protected:
  // The reply to asker (signed in when given) with the feed page's headers, its JSON when it is
  // "<callback>(...);".
  JsonPtr get(const std::string& url, const std::string& asker, const std::string& owner,
              const std::string& callback, bool fromSpace = true) const {
    const std::string cookies =
        asker.empty() ? "" : DocumentCookieText(SignInCookies(1, asker, CookieLayout::Inside));
    const std::string gtk = asker.empty() ? "5381" : GtkOf("skey=" + PSkeyFor(1, asker));
    Request request = RequestFor(url + "&g_tk=" + gtk, cookies);
    if (fromSpace) request.headers.emplace_back("Referer", "https://user.qzone.qq.com/" + owner);
    request.headers.emplace_back("Origin", "https://user.qzone.qq.com");
    std::string body = service.handler(request).body;
    if (!callback.empty()) {
      if (body.rfind(callback + "(", 0) != 0) return nullptr;
      body = body.substr(callback.size() + 1, body.size() - callback.size() - 3);
    }
    return ParseJson(body);
  }
  JsonPtr page(const std::string& asker, const std::string& owner, int pos, int num = 20,
               bool fromSpace = true) {
    return get(kTaotao + "emotion_cgi_msglist_v6?uin=" + owner +
                   "&ftype=0&sort=0&pos=" + std::to_string(pos) + "&num=" + std::to_string(num) +
                   "&replynum=100&callback=_preloadCallback&code_version=1"
                   "&format=jsonp&need_private_comment=1",
               asker, owner, "_preloadCallback", fromSpace);
  }

  DirectService service;
  const PersonalAccount& feed = service.data.feedAccount();
  const std::string stranger = service.data.ordinaryAccount().qq;
};

TEST_F(Feed, PagesCountEveryPlaceAndLeaveOutWhatTheAskerMayNotSee) {
  const std::string shut = service.data.privateAccount().qq;
  const struct {
    std::string asker, owner;
    int pos, num;
    bool fromSpace;
    int code, total, listed;  // listed -1: msglist null
  } cases[] = {
      {"", feed.qq, 0, 20, true, -3000, 0, -1},        {stranger, feed.qq, 0, 20, false, -10049, 0, -1},
      {stranger, shut, 0, 20, true, -10031, 0, -1},    {shut, shut, 0, 20, true, 0, 0, -1},
      {stranger, feed.qq, 0, 40, true, -10000, 0, -1}, {stranger, feed.qq, 0, 20, true, 0, 52, 19},
      {feed.qq, feed.qq, 0, 20, true, 0, 52, 20},      {stranger, feed.qq, 20, 20, true, 0, 52, 19},
      {stranger, feed.qq, 40, 20, true, 0, 52, 11},    {feed.qq, feed.qq, 40, 20, true, 0, 52, 12},
      {stranger, feed.qq, 52, 20, true, 0, 52, -1},    {stranger, feed.qq, 60, 20, true, 0, 52, -1},
      {feed.qq, stranger, 0, 20, true, 0, 0, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.asker + " " + c.owner + " pos " + std::to_string(c.pos) + " num " + std::to_string(c.num));
    const JsonPtr reply = page(c.asker, c.owner, c.pos, c.num, c.fromSpace);
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(json_object_get_int(Member(reply.get(), "code")), c.code);
    if (c.code != 0) continue;
    EXPECT_EQ(json_object_get_int(Member(reply.get(), "total")), c.total);
    json_object* list = Member(reply.get(), "msglist");
    if (c.listed < 0) {
      EXPECT_EQ(list, nullptr);
      continue;
    }
    ASSERT_EQ(static_cast<int>(json_object_array_length(list)), c.listed);
    // The posts come newest first, each in its place, with the members the program reads.
    std::vector<std::string> expected, listed;
    for (int place = c.pos; place < c.pos + c.num && place < c.total; ++place)
      if (!feed.feed[place].hidden || c.asker == feed.qq) expected.push_back(feed.feed[place].tid);
    for (std::size_t i = 0; i < json_object_array_length(list); ++i) {
      json_object* post = json_object_array_get_idx(list, i);
      listed.push_back(StringMember(post, "tid"));
      const FeedPost& sample = *std::find_if(feed.feed.begin(), feed.feed.end(),
                                             [&](const FeedPost& p) { return p.tid == listed.back(); });
      EXPECT_EQ(StringMember(post, "content"), sample.content);
      EXPECT_EQ(json_object_get_int64(Member(post, "created_time")), sample.createdTime);
      EXPECT_EQ(json_object_get_int(Member(post, "pictotal")), static_cast<int>(sample.pictures.size()));
      EXPECT_EQ(Member(post, "pic") == nullptr, sample.pictures.empty());
      EXPECT_EQ(Member(post, "video") == nullptr, sample.videos.empty());
      EXPECT_EQ(Member(post, "rt_con") == nullptr, !sample.forwarded);
    }
    EXPECT_EQ(listed, expected);
  }
  // One China day's three posts stand either side of the first page's end.
  EXPECT_EQ(feed.feed[18].createdTime - feed.feed[20].createdTime, 14 * 3600 + 25 * 60 + 5);
}

TEST_F(Feed, PicturesBeyondTheNinthComeFromGetPicsAndNewPostsComeFirst) {
  const FeedPost& twelve = feed.feed[2];
  ASSERT_EQ(twelve.pictures.size(), 12u);
  const std::string url =
      kTaotao + "emotion_cgi_get_pics_v6?tid=" + twelve.tid + "&uin=" + feed.qq + "&t1_source=1";
  for (const std::string& callback : {std::string(), std::string("_Callback")}) {
    const JsonPtr reply =
        get(url + (callback.empty() ? "" : "&callback=" + callback), stranger, feed.qq, callback);
    json_object* all = Member(reply.get(), "imageUrls");
    ASSERT_EQ(json_object_array_length(all), 12u);
    for (std::size_t i = 0; i < 12; ++i)
      EXPECT_EQ(StringMember(json_object_array_get_idx(all, i), "url3"), twelve.pictures[i].url3);
  }
  EXPECT_EQ(json_object_array_length(Member(
                json_object_array_get_idx(Member(page(stranger, feed.qq, 0).get(), "msglist"), 2), "pic")),
            9u);

  const std::string oldest = feed.feed.front().tid;
  ASSERT_TRUE(service.data.addFeedPosts(feed.qq, 2));
  ASSERT_EQ(feed.feed.size(), 54u);
  EXPECT_EQ(feed.feed[2].tid, oldest);
  EXPECT_GT(feed.feed[0].createdTime, feed.feed[1].createdTime);
  EXPECT_GT(feed.feed[1].createdTime, feed.feed[2].createdTime);
  for (const FeedPost& post : {feed.feed[0], feed.feed[1]}) {
    EXPECT_TRUE(post.pictures.size() == 1 || post.pictures.size() == 2);
    EXPECT_FALSE(service.handler(RequestFor(post.pictures[0].url3)).body.empty());
  }
}

TEST_F(Feed, EveryPictureServesTheSizesItClaimsUnlessItsFullSizeIsWithheld) {
  int refused = 0, placeholders = 0, videos = 0;
  for (const FeedPost& post : feed.feed) {
    for (const FeedPicture& picture : post.pictures) {
      if (picture.full == FeedPicture::Full::Served && picture.videoUrl.empty() && &post != &feed.feed[13])
        continue;
      SCOPED_TRACE(picture.url3);
      const auto served = [&](const std::string& url) { return service.handler(RequestFor(url)); };
      EXPECT_EQ(JpegSize(served(picture.url2).body), std::pair(picture.width / 2, picture.height / 2));
      const auto [width, height] = JpegSize(served(picture.url1).body);
      EXPECT_EQ(std::pair(width, height), std::pair(picture.width / 4, picture.height / 4));
      EXPECT_GT(std::max(width, height), 200);
      EXPECT_LT(JpegSize(served(picture.smallUrl).body).first, width);
      const Response full = served(picture.url3);
      switch (picture.full) {
        case FeedPicture::Full::Served:
          EXPECT_EQ(JpegSize(full.body), std::pair(picture.width, picture.height));
          break;
        case FeedPicture::Full::Refused:
          EXPECT_EQ(full.status, 404);
          ++refused;
          break;
        case FeedPicture::Full::Placeholder:
          EXPECT_EQ(full.body, PlaceholderGif());
          ++placeholders;
          break;
      }
      if (!picture.videoUrl.empty()) {
        EXPECT_EQ(served(picture.videoUrl).body.substr(4, 4), "ftyp");
        ++videos;
      }
    }
    for (const FeedVideo& video : post.videos) {
      EXPECT_EQ(service.handler(RequestFor(video.file)).body.substr(4, 4), "ftyp");
      EXPECT_GT(JpegSize(service.handler(RequestFor(video.cover)).body).first, 200);
      ++videos;
    }
  }
  EXPECT_EQ(std::vector({refused, placeholders, videos}), std::vector({1, 1, 2}));
}

}  // namespace
}  // namespace fotolun::standin
