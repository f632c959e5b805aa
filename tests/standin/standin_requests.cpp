#include "standin_requests.h"

#include "session/session_credentials.h"

namespace fotolun::standin {

Response DirectService::get(const std::string& url, const std::string& cookieText) const {
  return handler(RequestFor(url, cookieText));
}

JsonPtr ParseJson(const std::string& text) { return JsonPtr(json_tokener_parse(text.c_str())); }

json_object* DataArray(const JsonPtr& reply, const char* member) {
  json_object* data = nullptr;
  json_object* array = nullptr;
  if (!reply || !json_object_object_get_ex(reply.get(), "data", &data)) return nullptr;
  if (!json_object_object_get_ex(data, member, &array) || !json_object_is_type(array, json_type_array)) {
    return nullptr;
  }
  return array;
}

std::string StringMember(json_object* object, const char* member) {
  json_object* value = nullptr;
  if (!json_object_object_get_ex(object, member, &value) || value == nullptr) return "";
  return json_object_get_string(value);
}

Request RequestFor(const std::string& url, const std::string& cookieText) {
  Request request;
  request.method = "GET";
  request.url = url;
  const std::size_t hostStart = url.find("://") + 3;
  const std::size_t slash = url.find('/', hostStart);
  const std::string authority = url.substr(hostStart, slash - hostStart);
  request.host = authority.substr(0, authority.find(':'));
  request.target = slash == std::string::npos ? "/" : url.substr(slash);
  request.path = request.target.substr(0, request.target.find('?'));
  request.headers.emplace_back("Host", authority);
  if (!cookieText.empty()) request.headers.emplace_back("Cookie", cookieText);
  return request;
}

std::string GtkOf(const std::string& cookieText) { return computeGTk(cookieText); }

std::string AlbumListUrl(const SampleData& data, const std::string& qq, const std::string& gtk) {
  return "http://" + data.routeFor(qq).albumHost + "/fcgi-bin/fcg_list_album_v2?hostUin=" + qq +
         "&format=json&plat=qzone&source=qzone&t=&g_tk=" + gtk;
}

std::string PhotoPageUrl(const std::string& qq, const std::string& albumId, int pageStart,
                         const std::string& gtk) {
  return "http://user.qzone.qq.com/p/plist.photo/fcgi-bin/"
         "cgi_list_photo?t=123456789&mode=0&idcNum=0&hostUin=" +
         qq + "&topicId=" + albumId + "&noTopic=0&uin=" + qq + "&pageStart=" + std::to_string(pageStart) +
         "&pageNum=500&skipCmtCount=0&singleurl=1&batchId=&notice=0&appid=4&inCharset=utf-8&outCharset=utf-8"
         "&source=qzone&plat=qzone&outstyle=json&format=json&json_esc=1&question=&answer=&callbackFun=shine0"
         "&g_tk=" +
         gtk;
}

std::string FullSizeUrl(const SampleData& data, const std::string& qq, const std::string& albumId,
                        const std::string& gtk) {
  return "http://" + data.routeFor(qq).albumHost +
         "/cgi-bin/common/cgi_view_album_v2?inCharset=gbk&outCharset=gbk&format=json&plat=qzone&source=qzone"
         "&idcNum=0&hostUin=" +
         qq + "&albumId=" + albumId + "&t=0.815623122733086&g_tk=" + gtk + "&uin=" + qq;
}

std::string GroupTotalUrl(const std::string& group, const std::string& gtk) {
  return "http://u.photo.qzone.qq.com/cgi-bin/upp/qun_list_album_v2?getTotalPhoto=1&inCharset=utf-8"
         "&outCharset=utf-8&callbackFun=_GroupAlbumList&qunId=" +
         group +
         "&uin=1&start=0&num=1000&userinfo=1&t=0.8156231227330863&output_type=json&refer=jsapi&g_tk=" + gtk;
}

std::string GroupAlbumPageUrl(const std::string& group, int start, const std::string& gtk) {
  return "http://u.photo.qzone.qq.com/cgi-bin/upp/qun_list_album_v2?qunId=" + group +
         "&uin=1&hostUin=1&start=" + std::to_string(start) +
         "&num=1000&userInfo=1&format=json&platform=qzone&inCharset=utf-8&outCharset=utf-8&source=jsapi&g_"
         "tk=" +
         gtk;
}

std::string GroupPhotoPageUrl(const std::string& group, const std::string& albumId, int start,
                              const std::string& gtk) {
  return "http://u.photo.qzone.qq.com/cgi-bin/upp/"
         "qun_list_photo_v2?getCommentCnt=5&format=json&platform=qzone"
         "&inCharset=utf-8&outCharset=utf-8&source=jsapi&qunId=" +
         group + "&albumId=" + albumId + "&uin=1&g_tk=" + gtk + "&start=" + std::to_string(start) +
         "&num=500";
}

}  // namespace fotolun::standin
