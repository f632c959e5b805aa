#include "standin/feed_replies.h"

#include <optional>
#include <string>
#include <vector>

#include "standin/json_text.h"
#include "standin/replies.h"
#include "standin/session_check.h"
#include "story/photo_time.h"

namespace fotolun::standin {
namespace {

constexpr int kPageLimit = 20;
constexpr std::size_t kListedPictures = 9;
constexpr std::string_view kSpacePages = "https://user.qzone.qq.com/";

std::string Number(std::int64_t value) { return std::to_string(value); }

// The list always answers JSONP unless asked for JSON; the pictures JSONP only when given a callback.
Response ListAnswer(const Request& request, const std::string& json) {
  return request.query("format") == "json" ? JsonReply(json) : JsonpReply(request, json, "_preloadCallback");
}
Response PicturesAnswer(const Request& request, const std::string& json) {
  return request.query("callback").empty() ? JsonReply(json) : JsonpReply(request, json, "_Callback");
}

// The refusal a request gets before anything of the space is read, if any.
std::optional<std::string> Refusal(const SampleData& data, const Request& request, const std::string& qq) {
  // Asked from anywhere but the space's own pages, the service takes the request for a forgery.
  if (request.header("Referer").rfind(kSpacePages, 0) != 0) return RefusalJson(-10049, "请求被拒绝");
  switch (CurrentPersonalAccess(data, request, qq)) {
    case Access::NotSignedIn:
      return CurrentNotSignedInJson();
    case Access::Refused:
      return RefusalJson(-10031, "对不起,主人设置了保密,您没有权限查看");
    case Access::Allowed:
      break;
  }
  return std::nullopt;
}

bool MaySee(const Request& request, const PersonalAccount& owner, const FeedPost& post) {
  return !post.hidden || SignedInNumber(request) == owner.qq;
}

std::string PictureJson(const FeedPicture& picture) {
  std::vector<std::string> members;
  if (!picture.picId.empty()) members.push_back(JsonMember("pic_id", JsonString(picture.picId)));
  members.push_back(JsonMember("width", Number(picture.width)));
  members.push_back(JsonMember("height", Number(picture.height)));
  members.push_back(JsonMember("smallurl", JsonString(picture.smallUrl)));
  members.push_back(JsonMember("url1", JsonString(picture.url1)));
  members.push_back(JsonMember("url2", JsonString(picture.url2)));
  members.push_back(JsonMember("url3", JsonString(picture.url3)));
  members.push_back(JsonMember("is_video", picture.videoUrl.empty() ? "0" : "1"));
  if (!picture.videoUrl.empty()) {
    members.push_back(
        JsonMember("video_info", JsonObject({JsonMember("cover_url", JsonString(picture.url1)),
                                             JsonMember("video_url", JsonString(picture.videoUrl))})));
  }
  return JsonObject(members);
}

std::string PostJson(const PersonalAccount& owner, const FeedPost& post) {
  std::vector<std::string> members = {
      JsonMember("tid", JsonString(post.tid)),
      JsonMember("uin", owner.qq),
      JsonMember("name", JsonString(owner.nickname)),
      JsonMember("content", JsonString(post.content)),
      JsonMember("created_time", Number(post.createdTime)),
      JsonMember("createTime", JsonString(chinaTimeText(post.createdTime, "%Y年%m月%d日"))),
      JsonMember("pictotal", Number(static_cast<std::int64_t>(post.pictures.size()))),
  };
  if (!post.pictures.empty()) {
    std::vector<std::string> listed;
    for (std::size_t i = 0; i < post.pictures.size() && i < kListedPictures; ++i)
      listed.push_back(PictureJson(post.pictures[i]));
    members.push_back(JsonMember("pic", JsonArray(listed)));
  }
  members.push_back(JsonMember("videototal", Number(static_cast<std::int64_t>(post.videos.size()))));
  if (!post.videos.empty()) {
    std::vector<std::string> videos;
    for (const FeedVideo& video : post.videos) {
      videos.push_back(JsonObject({JsonMember("video_id", JsonString(video.id)),
                                   JsonMember("url1", JsonString(video.cover)),
                                   JsonMember("url3", JsonString(video.file))}));
    }
    members.push_back(JsonMember("video", JsonArray(videos)));
  }
  members.push_back(JsonMember("secret", post.hidden ? "1" : "0"));
  members.push_back(JsonMember("cmtnum", Number(post.comments)));
  if (post.forwarded) {
    members.push_back(JsonMember("rt_tid", JsonString(post.forwarded->tid)));
    members.push_back(JsonMember("rt_uin", post.forwarded->uin));
    members.push_back(JsonMember("rt_uinname", JsonString(post.forwarded->name)));
    members.push_back(
        JsonMember("rt_con", JsonObject({JsonMember("content", JsonString(post.forwarded->content))})));
  }
  return JsonObject(members);
}

std::string Answer(std::vector<std::string> members) {
  members.insert(members.begin(), {JsonMember("code", "0"), JsonMember("subcode", "0"),
                                   JsonMember("message", "\"\""), JsonMember("default", "0")});
  return JsonObject(members);
}

}  // namespace

Response FeedPageReply(const SampleData& data, const Request& request) {
  const std::string qq = request.query("uin");
  if (auto refusal = Refusal(data, request, qq)) return ListAnswer(request, *refusal);
  // A page of nothing is asked by no page of the service's own; it is taken for the default.
  int num = QueryNumber(request, "num", kPageLimit);
  if (num == 0) num = kPageLimit;
  if (num > kPageLimit) return ListAnswer(request, RefusalJson(-10000, "使用人数过多，请稍后再试"));

  static const PersonalAccount kNobody;
  const PersonalAccount* found = data.account(qq);
  const PersonalAccount& owner = found != nullptr ? *found : kNobody;
  const int total = static_cast<int>(owner.feed.size());
  const int pos = QueryNumber(request, "pos", 0);
  std::string msglist = "null";
  if (pos < total) {
    std::vector<std::string> posts;
    for (int place = pos; place < total && place < pos + num; ++place) {
      const FeedPost& post = owner.feed[static_cast<std::size_t>(place)];
      if (MaySee(request, owner, post)) posts.push_back(PostJson(owner, post));
    }
    msglist = JsonArray(posts);
  }
  return ListAnswer(
      request,
      Answer({JsonMember("total", Number(total)), JsonMember("msglist", msglist),
              JsonMember("usrinfo", JsonObject({JsonMember("name", JsonString(owner.nickname)),
                                                JsonMember("uin", found != nullptr ? owner.qq : "0")}))}));
}

Response FeedPicturesReply(const SampleData& data, const Request& request) {
  const std::string qq = request.query("uin");
  if (auto refusal = Refusal(data, request, qq)) return PicturesAnswer(request, *refusal);
  const PersonalAccount* owner = data.account(qq);
  const std::string tid = request.query("tid");
  const FeedPost* post = nullptr;
  if (owner != nullptr) {
    for (const FeedPost& candidate : owner->feed)
      if (candidate.tid == tid && MaySee(request, *owner, candidate)) post = &candidate;
  }
  if (post == nullptr) return PicturesAnswer(request, RefusalJson(-10001, "说说不存在或已删除"));
  std::vector<std::string> pictures;
  for (const FeedPicture& picture : post->pictures) pictures.push_back(PictureJson(picture));
  return PicturesAnswer(request, Answer({JsonMember("imageUrls", JsonArray(pictures))}));
}

}  // namespace fotolun::standin
