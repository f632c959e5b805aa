#include "standin/current_personal_replies.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "standin/json_text.h"
#include "standin/personal_replies.h"
#include "standin/replies.h"
#include "standin/session_check.h"

namespace fotolun::standin {
namespace {

constexpr int kPhotoPageLimit = 500;
constexpr int kFloatviewLimit = 200;

std::string JsonBool(bool value) { return value ? "true" : "false"; }

// Every album was made at some day of its own and changed an hour later.
std::int64_t CreateTime(std::size_t index) { return 1500000000 + static_cast<std::int64_t>(index) * 86400; }

std::string AlbumJson(const SampleData& data, const Request& request, const std::string& qq,
                      const PersonalAlbum& album, std::size_t index) {
  std::vector<std::string> members = {
      JsonMember("id", JsonString(album.id)),
      JsonMember("name", JsonString(album.name)),
      JsonMember("desc", JsonString(album.description)),
      JsonMember("total", std::to_string(album.photoCount())),
      JsonMember("pre", JsonString(album.coverUrl)),
      JsonMember("priv", album.isProtected() ? "5" : "1"),
      JsonMember("allowAccess", MayOpenAlbum(data, request, qq, album) ? "1" : "0"),
  };
  if (album.isProtected()) members.push_back(JsonMember("question", JsonString(album.question)));
  members.push_back(JsonMember("createtime", std::to_string(CreateTime(index))));
  members.push_back(JsonMember("modifytime", std::to_string(CreateTime(index) + 3600)));
  return JsonObject(members);
}

// The service lays an account's albums out in one of three ways; the sample accounts take them
// in turn so that every way is reachable.
std::string AlbumArrayMember(std::size_t accountIndex, const std::vector<std::string>& albums) {
  switch (accountIndex % 3) {
    case 0:
      return JsonMember("albumListModeSort", JsonArray(albums));
    case 1: {
      const auto half = albums.begin() + static_cast<std::ptrdiff_t>((albums.size() + 1) / 2);
      const std::string first = JsonObject({JsonMember("className", JsonString("默认分类")),
                                            JsonMember("albumList", JsonArray({albums.begin(), half}))});
      const std::string second = JsonObject({JsonMember("className", JsonString("旅行")),
                                             JsonMember("albumList", JsonArray({half, albums.end()}))});
      return JsonMember("albumListModeClass", JsonArray({first, second}));
    }
    default:
      return JsonMember("albumList", JsonArray(albums));
  }
}

std::optional<Response> RefuseAccount(const SampleData& data, const Request& request, const std::string& qq,
                                      const std::string& callback) {
  switch (CurrentPersonalAccess(data, request, qq)) {
    case Access::NotSignedIn:
      return JsonpReply(request, CurrentNotSignedInJson(), callback);
    case Access::Refused:
      return JsonpReply(request, CurrentNoPermissionJson(), callback);
    case Access::Allowed:
      break;
  }
  return std::nullopt;
}

std::optional<Response> RefuseAlbum(const SampleData& data, const Request& request, const std::string& qq,
                                    const PersonalAlbum* album, const std::string& callback) {
  if (auto refusal = RefuseAccount(data, request, qq, callback)) return refusal;
  if (album == nullptr) return JsonpReply(request, RefusalJson(-10801, "相册不存在"), callback);
  if (!MayOpenAlbum(data, request, qq, *album)) {
    return JsonpReply(request, RefusalJson(-10805, "该相册需要回答问题后才能访问"), callback);
  }
  return std::nullopt;
}

// raw, raw_upload and origin_url: where the full-size copy is, if the service kept one.
void AddRawMembers(std::vector<std::string>& members, const PersonalPhoto& photo) {
  const bool given = photo.raw == RawAddress::Given;
  members.push_back(JsonMember("raw", JsonString(given ? photo.rawUrl : "")));
  members.push_back(JsonMember("raw_upload", given ? "1" : "0"));
  members.push_back(
      JsonMember("origin_url", JsonString(photo.raw == RawAddress::EmptyString ? photo.rawUrl : "")));
}

// A photo is found by either of its keys: some have only the second.
std::string PhotoKey(const PersonalPhoto& photo) { return photo.lloc.empty() ? photo.sloc : photo.lloc; }

std::string VideoInfoJson(const PersonalPhoto& photo) {
  const VideoLinks& video = *photo.video;
  return JsonObject({JsonMember("status", "2"), JsonMember("cover_url", JsonString(photo.url)),
                     JsonMember("video_url", JsonString(video.videoUrl)),
                     JsonMember("download_url", JsonString(video.downloadUrl)),
                     JsonMember("duration", std::to_string(video.durationMs)),
                     JsonMember("format", JsonString(video.isPlaylist() ? "m3u8" : "mp4"))});
}

}  // namespace

Response CurrentAlbumListReply(const SampleData& data, const Request& request, int pageLimit) {
  const std::string qq = request.query("hostUin");
  if (auto refusal = RefuseAccount(data, request, qq, "shine_Callback")) return *refusal;

  const PersonalAccount* owner = data.account(qq);
  const int total = owner == nullptr ? 0 : static_cast<int>(owner->albums.size());
  const int start = QueryNumber(request, "pageStart", 0);
  const int count = std::min(QueryNumber(request, "pageNum", pageLimit), pageLimit);
  std::vector<std::string> albums;
  for (int i = start; i < total && i < start + count; ++i) {
    albums.push_back(AlbumJson(data, request, qq, owner->albums[i], static_cast<std::size_t>(i)));
  }
  const std::size_t accountIndex =
      owner == nullptr ? 2 : static_cast<std::size_t>(owner - data.accounts().data());
  return JsonpReply(
      request,
      OkJson({AlbumArrayMember(accountIndex, albums), JsonMember("albumsInUser", std::to_string(total)),
              JsonMember("nextPageStart", std::to_string(start + albums.size())), JsonMember("mode", "2")}));
}

Response CurrentPhotoPageReply(const SampleData& data, const Request& request,
                               std::vector<std::string>* listed) {
  const std::string qq = request.query("hostUin");
  const PersonalAlbum* album = data.personalAlbum(qq, request.query("topicId"));
  if (auto refusal = RefuseAlbum(data, request, qq, album, "shine_Callback")) return *refusal;

  const int start = QueryNumber(request, "pageStart", 0);
  const int count = std::min(QueryNumber(request, "pageNum", kPhotoPageLimit), kPhotoPageLimit);
  std::vector<std::string> photos;
  for (int i = start; i < album->photoCount() && i < start + count; ++i) {
    const PersonalPhoto& photo = album->photos[i];
    std::vector<std::string> members;
    if (photo.hasTitle) members.push_back(JsonMember("name", JsonString(photo.title)));
    members.push_back(JsonMember("url", JsonString(photo.url)));
    members.push_back(JsonMember("pre", JsonString(photo.url)));
    AddRawMembers(members, photo);
    if (!photo.lloc.empty()) members.push_back(JsonMember("lloc", JsonString(photo.lloc)));
    if (!photo.sloc.empty()) members.push_back(JsonMember("sloc", JsonString(photo.sloc)));
    members.push_back(JsonMember("uploadtime", JsonString(photo.uploadTime)));
    members.push_back(JsonMember("rawshoottime", photo.shootTimeJson));
    members.push_back(JsonMember("is_video", JsonBool(photo.video.has_value())));
    members.push_back(JsonMember("phototype", photo.video ? "\"video\"" : "1"));
    if (listed != nullptr) {
      for (const std::string* address : {&photo.url, &photo.rawUrl})
        if (const PictureSource* picture = data.pictureAt(*address)) listed->push_back(picture->key);
    }
    AddUploadSize(members, data, photo.url);
    AddStory(members, photo);
    photos.push_back(JsonObject(members));
  }
  return JsonpReply(request, OkJson({JsonMember("photoList", JsonArray(photos)),
                                     JsonMember("totalInAlbum", std::to_string(album->photoCount())),
                                     JsonMember("totalInPage", std::to_string(photos.size()))}));
}

Response FloatviewReply(const SampleData& data, const Request& request) {
  const std::string callback = "viewer_Callback";
  const std::string qq = request.query("hostUin");
  const PersonalAlbum* album = data.personalAlbum(qq, request.query("topicId"));
  if (auto refusal = RefuseAlbum(data, request, qq, album, callback)) return *refusal;

  const std::string picKey = UrlDecoded(request.query("picKey"));
  const auto found =
      std::find_if(album->photos.begin(), album->photos.end(), [&](const PersonalPhoto& photo) {
        return !picKey.empty() && (photo.lloc == picKey || photo.sloc == picKey);
      });
  if (found == album->photos.end()) return JsonpReply(request, RefusalJson(-10802, "照片不存在"), callback);

  const int position = static_cast<int>(found - album->photos.begin());
  const int after = std::min(QueryNumber(request, "postNum", kFloatviewLimit), kFloatviewLimit);
  std::vector<std::string> photos;
  for (int i = position; i < album->photoCount() && i <= position + after; ++i) {
    const PersonalPhoto& photo = album->photos[i];
    std::vector<std::string> members = {JsonMember("picKey", JsonString(PhotoKey(photo)))};
    if (!photo.lloc.empty()) members.push_back(JsonMember("lloc", JsonString(photo.lloc)));
    if (photo.hasTitle) members.push_back(JsonMember("name", JsonString(photo.title)));
    members.push_back(JsonMember("url", JsonString(photo.url)));
    AddRawMembers(members, photo);
    members.push_back(JsonMember("is_video", JsonBool(photo.video.has_value())));
    if (photo.video) members.push_back(JsonMember("video_info", VideoInfoJson(photo)));
    photos.push_back(JsonObject(members));
  }
  return JsonpReply(request,
                    OkJson({JsonMember("photos", JsonArray(photos)),
                            JsonMember("total", std::to_string(album->photoCount())),
                            JsonMember("picPosInTotal", std::to_string(position))}),
                    callback);
}

}  // namespace fotolun::standin
