#include "service/current_endpoints.h"

#include <string>

#include "service/current_headers.h"

namespace fotolun {
namespace {

Text number(int value) { return std::to_string(value); }

Text personalBase(const ServiceHosts& hosts, const char* endpoint) {
  return ConcatText("https://", hosts.personalSpace, "/proxy/domain/photo.qzone.qq.com/fcgi-bin/", endpoint);
}

Text h5Base(const ServiceHosts& hosts, const char* domainAndPath) {
  return ConcatText("https://", hosts.h5, "/proxy/domain/", domainAndPath);
}

}  // namespace

Text currentAlbumListUrl(const ServiceHosts& hosts, const SessionCredentials& session, const Text& owner,
                         int pageStart) {
  return ConcatText(
      personalBase(hosts, "fcg_list_album_v3"), "?g_tk=", pSkeyGTk(session),
      "&callback=shine_Callback&hostUin=", owner, "&uin=", session.uin,
      "&appid=4&inCharset=utf-8&outCharset=utf-8&source=qzone&plat=qzone&format=jsonp&notice=0"
      "&filter=1&handset=4&pageNumModeSort=40&pageNumModeClass=15&needUserInfo=1&idcNum=4&mode=2"
      "&pageStart=",
      number(pageStart), "&pageNum=", number(kCurrentAlbumPage), "&callbackFun=shine");
}

Text currentPhotoListUrl(const ServiceHosts& hosts, const SessionCredentials& session, const Text& owner,
                         const Text& albumId, int pageStart) {
  return ConcatText(personalBase(hosts, "cgi_list_photo"), "?g_tk=", pSkeyGTk(session),
                    "&callback=shine_Callback&mode=0&idcNum=4&hostUin=", owner, "&topicId=", albumId,
                    "&noTopic=0&uin=", session.uin, "&pageStart=", number(pageStart),
                    "&pageNum=", number(kCurrentPhotoPage),
                    "&skipCmtCount=0&singleurl=1&batchId=&notice=0&appid=4&inCharset=utf-8&outCharset=utf-8"
                    "&source=qzone&plat=qzone&outstyle=json&format=jsonp&json_esc=1&callbackFun=shine");
}

Text currentPhotoDetailUrl(const ServiceHosts& hosts, const SessionCredentials& session, const Text& owner,
                           const Text& albumId, const Text& picKey, int postNum) {
  return ConcatText(
      h5Base(hosts, "photo.qzone.qq.com/fcgi-bin/cgi_floatview_photo_list_v2"), "?g_tk=", pSkeyGTk(session),
      "&callback=viewer_Callback&topicId=", albumId, "&picKey=", picKey,
      "&cmtOrder=1&fupdate=1&plat=qzone&source=qzone&cmtNum=0&inCharset=utf-8&outCharset=utf-8"
      "&callbackFun=viewer&uin=",
      session.uin, "&hostUin=", owner, "&appid=4&isFirst=1&prevNum=0&postNum=", number(postNum));
}

Text currentGroupAlbumListUrl(const ServiceHosts& hosts, const SessionCredentials& session, const Text& group,
                              int start) {
  return ConcatText(h5Base(hosts, "u.photo.qzone.qq.com/cgi-bin/upp/qun_list_album_v2"),
                    "?g_tk=", pSkeyGTk(session), "&qunId=", group, "&qunid=", group, "&uin=", session.uin,
                    "&start=", number(start), "&num=", number(kCurrentGroupAlbumPage),
                    "&getMemberRole=1&inCharset=utf-8&outCharset=utf-8&source=qzone&attach_info=&format=json"
                    "&cmd=qunGetAlbumList");
}

Text currentGroupPhotoListUrl(const ServiceHosts& hosts, const SessionCredentials& session, const Text& group,
                              const Text& albumId, int start) {
  return ConcatText(h5Base(hosts, "u.photo.qzone.qq.com/cgi-bin/upp/qun_list_photo_v2"),
                    "?g_tk=", pSkeyGTk(session), "&uin=", session.uin, "&qunId=", group, "&albumId=", albumId,
                    "&inCharset=utf-8&outCharset=utf-8&num=", number(kCurrentPhotoPage),
                    "&start=", number(start), "&format=json");
}

ServiceGetOptions currentListingOptions(const ServiceHosts& hosts, const Text& refererNumber, bool photos) {
  ServiceGetOptions options;
  options.wholeSession = true;
  options.asBrowser = true;
  const Text page = photos ? albumPageAddress(hosts, refererNumber)
                           : ConcatText("https://", hosts.personalSpace, "/", refererNumber, "/infocenter");
  options.headers =
      ConcatText(pageRequestHeaders(PageRequest::script, page), "\r\nOrigin: https://", hosts.personalSpace);
  return options;
}

}  // namespace fotolun

namespace fotolun {

bool currentSessionAnswers(Context& context) {
  const SessionCredentials session = context.program.credentials.get();
  const ServiceHosts& hosts = context.program.hosts;
  const ServiceResponse response = serviceGet(context, currentAlbumListUrl(hosts, session, session.uin, 0),
                                              currentListingOptions(hosts, session.uin, false));
  const Text body = BufferToText(response.body);
  return judgeReply(unwrapJsonp(body), response.status, response.headers, kCurrentAlbumShape).usable();
}

}  // namespace fotolun
