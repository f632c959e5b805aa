#include "standin/service_handler.h"

#include "standin/current_group_replies.h"
#include "standin/current_personal_replies.h"
#include "standin/feed_replies.h"
#include "standin/group_replies.h"
#include "standin/personal_replies.h"
#include "standin/placeholder_gif.h"
#include "standin/replies.h"
#include "standin/route_reply.h"
#include "standin/sign_in_pages.h"
#include "standin/video_bytes.h"

namespace fotolun::standin {
namespace {

bool IsLoopback(const std::string& host) {
  return host == "127.0.0.1" || host == "localhost" || host == "::1";
}

// "/<digits>/photo/" (with or without the last slash): the number, else "".
std::string QuestionPageOwner(const std::string& path) {
  const std::size_t end = path.find("/photo", 1);
  if (end == std::string::npos || end == 1) return "";
  const std::string rest = path.substr(end);
  if (rest != "/photo" && rest != "/photo/") return "";
  const std::string qq = path.substr(1, end - 1);
  return qq.find_first_not_of("0123456789") == std::string::npos ? qq : "";
}

constexpr std::string_view kCurrentPrefix = "/proxy/domain/";
constexpr int kRefusedFormCode = -10049;

// A player asks for its file from the first byte ("Range: bytes=0-") and is given all of it as
// the one part, 206; any other range is answered with the whole file, as HTTP allows.
Response WholeFileReply(const Request& request, std::string bytes, std::string contentType) {
  const std::size_t size = bytes.size();
  Response reply = BytesReply(std::move(bytes), std::move(contentType));
  if (request.header("Range") == "bytes=0-" && size > 0) {
    reply.status = 206;
    reply.headers.emplace_back("Content-Range",
                               "bytes 0-" + std::to_string(size - 1) + "/" + std::to_string(size));
  }
  return reply;
}

bool IsClassicPath(const std::string& path) {
  return path == "/GetRoute" || path == "/fcgi-bin/fcg_list_album_v2" || path == "/fcgi-bin/cgi_list_photo" ||
         path == "/cgi-bin/common/cgi_view_album_v2" || path == "/p/plist.photo/fcgi-bin/cgi_list_photo" ||
         path == "/cgi-bin/upp/qun_list_album_v2" || path == "/cgi-bin/upp/qun_list_photo_v2";
}

}  // namespace

bool ServiceHandler::servesAlbumsOf(const Request& request, const std::string& qq) const {
  return IsLoopback(request.host) || data_.routeFor(qq).albumHost == request.host;
}

Response ServiceHandler::classicReply(const Request& request) const {
  const std::string& path = request.path;
  if (path == "/GetRoute") return RouteReply(data_, request);
  if (path == "/fcgi-bin/fcg_list_album_v2" || path == "/fcgi-bin/cgi_list_photo" ||
      path == "/cgi-bin/common/cgi_view_album_v2") {
    if (!servesAlbumsOf(request, request.query("hostUin"))) return NotFound();
    if (path == "/fcgi-bin/fcg_list_album_v2") return PersonalAlbumListReply(data_, request);
    if (path == "/fcgi-bin/cgi_list_photo") return PhotoPageReply(data_, request);
    return FullSizeListReply(data_, request);
  }
  if (path == "/p/plist.photo/fcgi-bin/cgi_list_photo") return PhotoPageReply(data_, request);
  if (path == "/cgi-bin/upp/qun_list_album_v2") return GroupAlbumListReply(data_, request);
  return GroupPhotoPageReply(data_, request);
}

// A list asked without the photo key hands out a new one; the photos it lists go with the key.
Response ServiceHandler::currentPhotoPage(const Request& request) const {
  std::vector<std::string> listed;
  Response reply = CurrentPhotoPageReply(data_, request, &listed);
  bool minted = false;
  const std::string key = photoKeys_.keyOf(request, minted);
  if (minted) reply.headers.emplace_back("Set-Cookie", PhotoKeys::newKeyCookie(key));
  photoKeys_.bind(listed, key);
  return reply;
}

// What today's service answers a request that does not look like its pages' own.
static bool LooksLikeOldBrowser(const Request& request) {
  const std::string agent = request.header("User-Agent");
  return agent.find("MSIE") != std::string::npos || agent.find("Trident") != std::string::npos;
}

Response ServiceHandler::currentReply(const Request& request) const {
  const std::string& path = request.path;
  if (LooksLikeOldBrowser(request)) {
    const std::string refusal = RefusalJson(kRefusedFormCode, "请求被拒绝");
    return request.query("format") == "json" ? JsonReply(refusal) : JsonpReply(request, refusal);
  }
  if (path == "/proxy/domain/photo.qzone.qq.com/fcgi-bin/fcg_list_album_v3")
    return CurrentAlbumListReply(data_, request, families_.albumPage);
  if (path == "/proxy/domain/photo.qzone.qq.com/fcgi-bin/cgi_list_photo") return currentPhotoPage(request);
  if (path == "/proxy/domain/photo.qzone.qq.com/fcgi-bin/cgi_floatview_photo_list_v2")
    return FloatviewReply(data_, request);
  if (path == "/proxy/domain/taotao.qq.com/cgi-bin/emotion_cgi_msglist_v6")
    return FeedPageReply(data_, request);
  if (path == "/proxy/domain/taotao.qq.com/cgi-bin/emotion_cgi_get_pics_v6")
    return FeedPicturesReply(data_, request);
  if (path == "/proxy/domain/u.photo.qzone.qq.com/cgi-bin/upp/qun_list_album_v2")
    return CurrentGroupAlbumListReply(data_, request);
  if (path == "/proxy/domain/u.photo.qzone.qq.com/cgi-bin/upp/qun_list_photo_v2")
    return CurrentGroupPhotoPageReply(data_, request);
  return NotFound();
}

Response ServiceHandler::operator()(const Request& request) const {
  // Held for the whole reply: a growing album reallocates the photos a reply walks.
  const auto lock = data_.readLock();
  if (version_.serves(request)) return version_.reply();
  if (qrLogins_.serves(request)) return qrLogins_.reply(request);

  const PictureSource* picture = IsLoopback(request.host) ? data_.pictureByTarget(request.target)
                                                          : data_.picture(request.host, request.target);
  if (picture != nullptr) {
    if (picture->placeholder || !photoKeys_.admits(request, picture->host, picture->key))
      return BytesReply(PlaceholderGif(), "image/gif");
    return BytesReply(pictures_.bytes(*picture), picture->png ? "image/png" : "image/jpeg");
  }

  const VideoSource* video = IsLoopback(request.host) ? data_.videoByTarget(request.target)
                                                      : data_.video(request.host, request.target);
  if (video != nullptr)
    return WholeFileReply(request, MakeVideo(*video, data_.seed()), VideoContentType(*video));

  const std::string& path = request.path;
  if (IsClassicPath(path)) return families_.classic ? classicReply(request) : NotFound();
  if (path.compare(0, kCurrentPrefix.size(), kCurrentPrefix) == 0) {
    return families_.current ? currentReply(request) : NotFound();
  }
  if (path == "/") return SignInPage(data_, request);
  if (const std::string owner = QuestionPageOwner(path); !owner.empty()) {
    return AlbumQuestionPage(data_, request, owner);
  }
  return NotFound();
}

}  // namespace fotolun::standin
