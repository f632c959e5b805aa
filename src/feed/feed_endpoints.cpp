#include "feed/feed_endpoints.h"

#include <string>

#include "service/current_headers.h"

namespace fotolun {
namespace {

Text feedBase(const ServiceHosts& hosts, const char* endpoint) {
  return ConcatText("https://", hosts.personalSpace, "/proxy/domain/taotao.qq.com/cgi-bin/", endpoint);
}

}  // namespace

Text feedPageUrl(const ServiceHosts& hosts, const SessionCredentials& session, const Text& owner,
                 int position) {
  return ConcatText(feedBase(hosts, "emotion_cgi_msglist_v6"), "?uin=", owner,
                    "&ftype=0&sort=0&pos=", std::to_string(position), "&num=", std::to_string(kFeedPageSize),
                    "&replynum=100&g_tk=", pSkeyGTk(session),
                    "&callback=_preloadCallback&code_version=1&format=jsonp&need_private_comment=1");
}

Text feedPicturesUrl(const ServiceHosts& hosts, const SessionCredentials& session, const Text& owner,
                     const Text& tid) {
  return ConcatText(feedBase(hosts, "emotion_cgi_get_pics_v6"), "?tid=", tid, "&uin=", owner,
                    "&t1_source=1&g_tk=", pSkeyGTk(session));
}

Text feedPageAddress(const ServiceHosts& hosts, const Text& owner) {
  return ConcatText("https://", hosts.personalSpace, "/", owner);
}

ServiceGetOptions feedRequestOptions(const ServiceHosts& hosts, const Text& owner) {
  ServiceGetOptions options;
  options.wholeSession = true;
  options.asBrowser = true;
  options.headers = ConcatText(pageRequestHeaders(PageRequest::script, feedPageAddress(hosts, owner)),
                               "\r\nOrigin: https://", hosts.personalSpace);
  return options;
}

}  // namespace fotolun
