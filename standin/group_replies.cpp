#include "standin/group_replies.h"

#include <algorithm>
#include <vector>

#include "standin/json_text.h"
#include "standin/replies.h"
#include "standin/session_check.h"

namespace fotolun::standin {
namespace {

constexpr int kAlbumPageLimit = 1000;
constexpr int kPhotoPageLimit = 500;

// The old group listings order their members alphabetically.
std::string GroupOkJson(const std::vector<std::string>& dataMembers) {
  return JsonObject({JsonMember("code", "0"), JsonMember("data", JsonObject(dataMembers)),
                     JsonMember("message", "\"\""), JsonMember("subcode", "0")});
}

int PhotoTotal(const Group& group) {
  int total = 0;
  for (const GroupAlbum& album : group.albums) total += album.photoCount();
  return total;
}

}  // namespace

std::string GroupTotalText(const Group& group) {
  return "{\n\"code\" : 0,\n\"data\" : {\n\"totalPhoto\" : " + std::to_string(PhotoTotal(group)) +
         "\n},\n\"message\" : \"\",\n\"subcode\" : 0,\n\"total\" : " + std::to_string(group.albums.size()) +
         "\n}\n";
}

Response GroupAlbumListReply(const SampleData& data, const Request& request) {
  if (!IsSignedIn(data, request)) return JsonReply(NotSignedInJson());
  const Group* group = data.group(request.query("qunId"));
  if (group == nullptr) return JsonReply(RefusalJson(-20001, "群不存在"));
  if (request.query("getTotalPhoto") == "1") return JsonReply(GroupTotalText(*group));

  const int start = QueryNumber(request, "start", 0);
  const int count = std::min(QueryNumber(request, "num", kAlbumPageLimit), kAlbumPageLimit);
  const int total = static_cast<int>(group->albums.size());
  std::vector<std::string> albums;
  for (int i = start; i < total && i < start + count; ++i) {
    const GroupAlbum& album = group->albums[i];
    albums.push_back(JsonObject({JsonMember("id", JsonString(album.id)),
                                 JsonMember("title", JsonString(album.title)), JsonMember("desc", "\"\""),
                                 JsonMember("createtime", std::to_string(1400000000 + i * 3600)),
                                 JsonMember("photocnt", std::to_string(album.photoCount()))}));
  }
  return JsonReply(
      GroupOkJson({JsonMember("album", JsonArray(albums)), JsonMember("albumnum", std::to_string(total)),
                   JsonMember("start", std::to_string(start))}));
}

std::vector<std::string> GroupPhotoMembers(const GroupPhoto& photo) {
  std::vector<std::string> members = {JsonMember("burl", JsonString(photo.burl))};
  if (photo.hasName) members.push_back(JsonMember("name", JsonString(photo.name)));
  members.push_back(JsonMember("uploadtime", std::to_string(photo.uploadTime)));
  members.push_back(JsonMember("desc", JsonString(photo.description)));
  // Both families tell a video by this member; the cover stays burl.
  if (photo.video) {
    members.push_back(
        JsonMember("videodata", JsonObject({JsonMember("actionurl", JsonString(photo.video->videoUrl)),
                                            JsonMember("coverurl", JsonString(photo.burl)),
                                            JsonMember("vid", JsonString(photo.video->vid))})));
  }
  return members;
}

Response GroupPhotoPageReply(const SampleData& data, const Request& request) {
  if (!IsSignedIn(data, request)) return JsonReply(NotSignedInJson());
  const GroupAlbum* album = data.groupAlbum(request.query("qunId"), request.query("albumId"));
  if (album == nullptr) return JsonReply(RefusalJson(-20002, "相册不存在"));

  const int start = QueryNumber(request, "start", 0);
  const int count = std::min(QueryNumber(request, "num", kPhotoPageLimit), kPhotoPageLimit);
  std::vector<std::string> photos;
  for (int i = start; i < album->photoCount() && i < start + count; ++i) {
    const GroupPhoto& photo = album->photos[i];
    std::vector<std::string> members = GroupPhotoMembers(photo);
    photos.push_back(JsonObject(members));
  }
  return JsonReply(GroupOkJson(
      {JsonMember("photos", JsonArray(photos)), JsonMember("total", std::to_string(album->photoCount()))}));
}

}  // namespace fotolun::standin
