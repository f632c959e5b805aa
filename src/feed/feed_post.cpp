#include "feed/feed_post.h"

#include <json-c/json.h>

#include <algorithm>
#include <memory>

namespace fotolun {
namespace {

struct JsonRelease {
  void operator()(json_object* object) const { json_object_put(object); }
};
using JsonRoot = std::unique_ptr<json_object, JsonRelease>;

json_object* member(json_object* object, const char* name) {
  json_object* found = nullptr;
  if (object == nullptr || !json_object_is_type(object, json_type_object)) return nullptr;
  return json_object_object_get_ex(object, name, &found) ? found : nullptr;
}

// A string member as sent, a number as its digits; "" for anything else.
std::string text(json_object* object, const char* name) {
  json_object* value = member(object, name);
  if (json_object_is_type(value, json_type_string)) return json_object_get_string(value);
  if (json_object_is_type(value, json_type_int)) return std::to_string(json_object_get_int64(value));
  return "";
}

long long number(json_object* object, const char* name) {
  json_object* value = member(object, name);
  if (json_object_is_type(value, json_type_int) || json_object_is_type(value, json_type_boolean))
    return json_object_get_int64(value);
  if (json_object_is_type(value, json_type_string)) {
    const std::string digits = json_object_get_string(value);
    if (!digits.empty() && digits.size() < 18 && digits.find_first_not_of("0123456789") == std::string::npos)
      return std::stoll(digits);
  }
  return 0;
}

int size(json_object* object, const char* name) {
  return static_cast<int>(std::clamp<long long>(number(object, name), 0, 1'000'000));
}

// The list's own pictures and those of a post's picture list are alike: url3 is taken for the
// largest copy, as the service's own viewer takes it.
std::optional<FeedMedia> mediaOf(json_object* item) {
  FeedMedia media;
  if (json_object_is_type(item, json_type_string)) {
    media.copies.push_back(json_object_get_string(item));
    return media;
  }
  if (!json_object_is_type(item, json_type_object)) return std::nullopt;
  media.id = text(item, "pic_id");
  media.width = size(item, "width");
  media.height = size(item, "height");
  if (number(item, "is_video") != 0) {
    media.video = true;
    if (const std::string file = text(member(item, "video_info"), "video_url"); !file.empty())
      media.copies.push_back(file);
    return media;
  }
  for (const char* copy : {"url3", "url2", "url1", "url"}) {
    const std::string address = text(item, copy);
    if (!address.empty() &&
        std::find(media.copies.begin(), media.copies.end(), address) == media.copies.end())
      media.copies.push_back(address);
  }
  if (media.copies.empty()) return std::nullopt;
  return media;
}

// video[] items: url1 is the cover, url3 the file. A video the pictures already hold is kept once.
void addVideos(json_object* videos, std::vector<FeedMedia>& media) {
  const std::size_t count =
      json_object_is_type(videos, json_type_array) ? json_object_array_length(videos) : 0;
  for (std::size_t i = 0; i < count; ++i) {
    json_object* item = json_object_array_get_idx(videos, i);
    const std::string file = text(item, "url3");
    const bool known = std::any_of(media.begin(), media.end(), [&](const FeedMedia& held) {
      return held.video && !held.copies.empty() && held.copies.front() == file;
    });
    if (known) continue;
    FeedMedia video;
    video.id = text(item, "video_id");
    video.video = true;
    if (!file.empty()) video.copies.push_back(file);
    media.push_back(std::move(video));
  }
}

FeedPost postOf(json_object* item, int pagePosition) {
  FeedPost post;
  post.tid = text(item, "tid");
  post.content = text(item, "content");
  if (const long long created = number(item, "created_time"); created > 0) post.created = created;
  post.pagePosition = pagePosition;
  if (json_object* forwarded = member(item, "rt_con")) {
    post.forwardedContent = text(forwarded, "content");
    post.forwardedFrom = text(item, "rt_uinname");
    if (post.forwardedFrom.empty()) post.forwardedFrom = text(item, "rt_uin");
  }
  json_object* pictures = member(item, "pic");
  const std::size_t count =
      json_object_is_type(pictures, json_type_array) ? json_object_array_length(pictures) : 0;
  for (std::size_t i = 0; i < count; ++i)
    if (auto media = mediaOf(json_object_array_get_idx(pictures, i))) post.media.push_back(std::move(*media));
  post.pictureItems = static_cast<int>(post.media.size());
  post.pictureTotal = std::max(size(item, "pictotal"), post.pictureItems);
  addVideos(member(item, "video"), post.media);
  return post;
}

JsonRoot parse(const std::string& utf8Json) { return JsonRoot(json_tokener_parse(utf8Json.c_str())); }

}  // namespace

std::string FeedPost::description() const {
  if (forwardedContent.empty() && forwardedFrom.empty()) return content;
  std::string said = content;
  if (!said.empty()) said += "\n";
  return said + "转发" + (forwardedFrom.empty() ? "" : " " + forwardedFrom) + "：" + forwardedContent;
}

bool FeedPost::picturesLeftOut() const { return pictureTotal > pictureItems; }

int FeedPost::mediaCount() const {
  return static_cast<int>(media.size()) + std::max(0, pictureTotal - pictureItems);
}

std::optional<FeedPage> readFeedPage(const std::string& utf8Json, int pagePosition) {
  const JsonRoot root = parse(utf8Json);
  if (!json_object_is_type(root.get(), json_type_object)) return std::nullopt;
  FeedPage page;
  page.total = static_cast<int>(std::clamp<long long>(number(root.get(), "total"), 0, 100'000'000));
  json_object* posts = member(root.get(), "msglist");
  const std::size_t count = json_object_is_type(posts, json_type_array) ? json_object_array_length(posts) : 0;
  for (std::size_t i = 0; i < count; ++i) {
    json_object* item = json_object_array_get_idx(posts, i);
    if (json_object_is_type(item, json_type_object)) page.posts.push_back(postOf(item, pagePosition));
  }
  return page;
}

std::optional<std::vector<FeedMedia>> readPostPictures(const std::string& utf8Json) {
  const JsonRoot root = parse(utf8Json);
  json_object* images = member(root.get(), "imageUrls");
  if (!json_object_is_type(images, json_type_array)) return std::nullopt;
  std::vector<FeedMedia> pictures;
  for (std::size_t i = 0; i < json_object_array_length(images); ++i)
    if (auto media = mediaOf(json_object_array_get_idx(images, i))) pictures.push_back(std::move(*media));
  return pictures;
}

}  // namespace fotolun
