#include "session/session_destination.h"

#include <string_view>

#include "session/service_domains.h"

namespace fotolun {
namespace {

std::string_view authorityOf(std::string_view url) {
  const size_t scheme = url.find("://");
  if (scheme != std::string_view::npos) url.remove_prefix(scheme + 3);
  url = url.substr(0, url.find_first_of("/?#"));
  const size_t at = url.rfind('@');
  if (at != std::string_view::npos) url.remove_prefix(at + 1);
  return url;
}

bool sameHost(std::string_view a, std::string_view b) {
  if (a.size() != b.size() || a.empty()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace

Text hostOfUrl(const Text& url) {
  const std::string_view authority = authorityOf(url);
  if (!authority.empty() && authority.front() == '[') return "";  // an address literal
  return Text(authority.substr(0, authority.find(':')));
}

bool maySendSession(const ServiceHosts& hosts, const Text& url) {
  const Text host = hostOfUrl(url);
  if (host.empty()) return false;
  if (isServiceDomain(host)) return true;
  for (const Text* configured : {&hosts.routing, &hosts.personalSpace, &hosts.groupPhoto, &hosts.staticPage,
                                 &hosts.staticImage, &hosts.h5}) {
    if (sameHost(hostOfUrl("http://" + *configured), host)) return true;
  }
  return false;
}

}  // namespace fotolun
