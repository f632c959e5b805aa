#include "standin/current_group_replies.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "standin/group_replies.h"
#include "standin/json_text.h"
#include "standin/replies.h"
#include "standin/session_check.h"

namespace fotolun::standin {
namespace {

constexpr int kAlbumPageLimit = 1000;
constexpr int kPhotoPageLimit = 500;

constexpr const char* kNotMemberJson = R"({"code":-20010,"message":"对不起，您不是该群成员","data":{}})";
constexpr const char* kClosedAlbumJson = R"({"code":-20011,"message":"对不起，您无权访问该相册","data":{}})";

// The group as the request names it (the service takes either spelling), or the refusal.
std::optional<Response> RefuseGroup(const SampleData& data, const Request& request, const Group*& group) {
  if (!IsSignedInCurrent(data, request)) return JsonReply(CurrentNotSignedInJson());
  const std::string number = request.query("qunId").empty() ? request.query("qunid") : request.query("qunId");
  group = data.group(number);
  if (group == nullptr) return JsonReply(RefusalJson(-20001, "群不存在"));
  if (!group->signedInIsMember) return JsonReply(kNotMemberJson);
  return std::nullopt;
}

// The service names a page's photo array in three ways; the albums of a group take them in turn.
const char* PhotoArrayName(std::size_t albumIndex) {
  static constexpr const char* kNames[] = {"photolist", "photoList", "photos"};
  return kNames[albumIndex % 3];
}

}  // namespace

Response CurrentGroupAlbumListReply(const SampleData& data, const Request& request) {
  const Group* group = nullptr;
  if (auto refusal = RefuseGroup(data, request, group)) return *refusal;

  const int start = QueryNumber(request, "start", 0);
  const int count = std::min(QueryNumber(request, "num", kAlbumPageLimit), kAlbumPageLimit);
  const int total = static_cast<int>(group->albums.size());
  std::vector<std::string> albums;
  for (int i = start; i < total && i < start + count; ++i) {
    const GroupAlbum& album = group->albums[i];
    albums.push_back(JsonObject(
        {JsonMember("id", JsonString(album.id)), JsonMember("title", JsonString(album.title)),
         JsonMember("photocnt", std::to_string(album.photoCount())),
         JsonMember("createtime", std::to_string(1400000000 + i * 3600)), JsonMember("desc", "\"\"")}));
  }
  return JsonReply(OkJson({JsonMember("album", JsonArray(albums)), JsonMember("total", std::to_string(total)),
                           JsonMember("start", std::to_string(start))}));
}

Response CurrentGroupPhotoPageReply(const SampleData& data, const Request& request) {
  const Group* group = nullptr;
  if (auto refusal = RefuseGroup(data, request, group)) return *refusal;
  const GroupAlbum* album = data.groupAlbum(group->number, request.query("albumId"));
  if (album == nullptr) return JsonReply(RefusalJson(-20002, "相册不存在"));
  if (album->closed) return JsonReply(kClosedAlbumJson);

  const int start = QueryNumber(request, "start", 0);
  const int count = std::min(QueryNumber(request, "num", kPhotoPageLimit), kPhotoPageLimit);
  std::vector<std::string> photos;
  for (int i = start; i < album->photoCount() && i < start + count; ++i) {
    const GroupPhoto& photo = album->photos[i];
    photos.push_back(JsonObject(GroupPhotoMembers(photo)));
  }
  const auto albumIndex = static_cast<std::size_t>(album - group->albums.data());
  return JsonReply(OkJson({JsonMember(PhotoArrayName(albumIndex), JsonArray(photos)),
                           JsonMember("total", std::to_string(album->photoCount()))}));
}

}  // namespace fotolun::standin
