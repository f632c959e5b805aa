#include "standin/personal_replies.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "standin/json_text.h"
#include "standin/replies.h"
#include "standin/session_check.h"

namespace fotolun::standin {
namespace {

constexpr int kPhotoPageLimit = 500;

std::string AlbumJson(const PersonalAlbum& album, std::size_t index) {
  std::vector<std::string> members = {
      JsonMember("id", JsonString(album.id)),
      JsonMember("name", JsonString(album.name)),
      JsonMember("desc", JsonString(album.description)),
      JsonMember("createtime", std::to_string(1500000000 + index * 86400)),
      JsonMember("pre", JsonString(album.coverUrl)),
      JsonMember("priv", album.isProtected() ? "5" : "1"),
      JsonMember("total", std::to_string(album.photoCount())),
      JsonMember("allowAccess", album.isProtected() ? "0" : "1"),
  };
  // The question member is only there for albums that have one.
  if (album.isProtected()) members.push_back(JsonMember("question", JsonString(album.question)));
  return JsonObject(members);
}

// Some photos have no name member at all, which the program reads as the text null.
void AddName(std::vector<std::string>& members, const std::string& title, bool hasTitle) {
  if (hasTitle) members.push_back(JsonMember("name", JsonString(title)));
}

std::string RawJson(const PersonalPhoto& photo) {
  switch (photo.raw) {
    case RawAddress::Given:
      return JsonString(photo.rawUrl);
    case RawAddress::EmptyString:
      return "\"\"";
    case RawAddress::Null:
      return "null";
  }
  return "null";
}

}  // namespace

void AddStory(std::vector<std::string>& members, const PersonalPhoto& photo) {
  members.push_back(JsonMember("desc", JsonString(photo.description)));
  if (photo.exif) {
    members.push_back(
        JsonMember("exif", JsonObject({JsonMember("originalTime", JsonString(photo.exif->originalTime)),
                                       JsonMember("make", JsonString(photo.exif->make)),
                                       JsonMember("model", JsonString(photo.exif->model))})));
  } else {
    members.push_back(JsonMember("cameratype", "\"\""));
  }
}

namespace {

// What both photo listings say about a photo besides its addresses.
void AddKeysAndTimes(std::vector<std::string>& members, const PersonalPhoto& photo) {
  if (!photo.lloc.empty()) members.push_back(JsonMember("lloc", JsonString(photo.lloc)));
  if (!photo.sloc.empty()) members.push_back(JsonMember("sloc", JsonString(photo.sloc)));
  members.push_back(JsonMember("uploadtime", JsonString(photo.uploadTime)));
  members.push_back(JsonMember("rawshoottime", photo.shootTimeJson));
  AddStory(members, photo);
  // A video entry's url is its cover; these members say what it is, as in the https lists.
  if (photo.video) {
    members.push_back(JsonMember("is_video", "true"));
    members.push_back(JsonMember("phototype", "\"video\""));
  }
}

// Album pages answer for a known album the caller may open; anything else gets the service's
// refusal text, in which the program finds no photo list.
std::optional<Response> RefuseAlbumAccess(const SampleData& data, const Request& request,
                                          const std::string& qq, const PersonalAlbum* album) {
  switch (PersonalAccess(data, request, qq)) {
    case Access::NotSignedIn:
      return JsonReply(NotSignedInJson());
    case Access::Refused:
      return JsonReply(NoPermissionJson());
    case Access::Allowed:
      break;
  }
  if (album == nullptr) return JsonReply(RefusalJson(-10801, "相册不存在"));
  if (!MayOpenAlbum(data, request, qq, *album)) {
    return JsonReply(RefusalJson(-10805, "该相册需要回答问题后才能访问"));
  }
  return std::nullopt;
}

}  // namespace

Response PersonalAlbumListReply(const SampleData& data, const Request& request) {
  const std::string qq = request.query("hostUin");
  switch (PersonalAccess(data, request, qq)) {
    case Access::NotSignedIn:
      return GbkJsonReply(NotSignedInJson());
    case Access::Refused:
      return GbkJsonReply(NoPermissionJson());
    case Access::Allowed:
      break;
  }
  std::vector<std::string> albums;
  if (const PersonalAccount* owner = data.account(qq)) {
    for (std::size_t i = 0; i < owner->albums.size(); ++i) albums.push_back(AlbumJson(owner->albums[i], i));
  }
  return GbkJsonReply(OkJson({JsonMember("album", JsonArray(albums)),
                              JsonMember("albumsInUser", std::to_string(albums.size())),
                              JsonMember("hostUin", JsonString(qq)), JsonMember("mode", "2")}));
}

Response PhotoPageReply(const SampleData& data, const Request& request) {
  const std::string qq = request.query("hostUin");
  const PersonalAlbum* album = data.personalAlbum(qq, request.query("topicId"));
  if (auto refusal = RefuseAlbumAccess(data, request, qq, album)) return *refusal;

  const int start = QueryNumber(request, "pageStart", 0);
  const int count = std::min(QueryNumber(request, "pageNum", kPhotoPageLimit), kPhotoPageLimit);
  std::vector<std::string> photos;
  for (int i = start; i < album->photoCount() && i < start + count; ++i) {
    const PersonalPhoto& photo = album->photos[i];
    std::vector<std::string> members;
    AddName(members, photo.title, photo.hasTitle);
    members.push_back(JsonMember("pre", JsonString(photo.url)));
    members.push_back(JsonMember("url", JsonString(photo.url)));
    AddUploadSize(members, data, photo.url);
    AddKeysAndTimes(members, photo);
    photos.push_back(JsonObject(members));
  }
  return JsonReply(
      OkJson({JsonMember("pageStart", std::to_string(start)), JsonMember("pageNum", std::to_string(count)),
              JsonMember("totalInAlbum", std::to_string(album->photoCount())),
              JsonMember("totalInPage", std::to_string(photos.size())),
              JsonMember("photoList", JsonArray(photos))}));
}

Response FullSizeListReply(const SampleData& data, const Request& request) {
  const std::string qq = request.query("hostUin");
  const PersonalAlbum* album = data.personalAlbum(qq, request.query("albumId"));
  if (auto refusal = RefuseAlbumAccess(data, request, qq, album)) return *refusal;

  std::vector<std::string> pics;
  for (const PersonalPhoto& photo : album->photos) {
    std::vector<std::string> members;
    AddName(members, photo.title, photo.hasTitle);
    members.push_back(JsonMember("raw", RawJson(photo)));
    members.push_back(JsonMember("url", JsonString(photo.url)));
    AddKeysAndTimes(members, photo);
    pics.push_back(JsonObject(members));
  }
  return JsonReply(
      OkJson({JsonMember("albumId", JsonString(album->id)),
              JsonMember("total", std::to_string(album->photoCount())), JsonMember("pic", JsonArray(pics))}));
}

}  // namespace fotolun::standin
