#include "download/cookie_domain.h"

#include <string_view>

#include "session/service_domains.h"

namespace fotolun {
namespace {

std::string_view hostOf(std::string_view url) {
  const size_t scheme = url.find("://");
  if (scheme != std::string_view::npos) url.remove_prefix(scheme + 3);
  url = url.substr(0, url.find_first_of("/?#"));
  const size_t at = url.rfind('@');
  if (at != std::string_view::npos) url.remove_prefix(at + 1);
  if (!url.empty() && url.front() == '[') return {};  // an address literal is never the service
  return url.substr(0, url.find(':'));
}

}  // namespace

bool sendsSessionCookies(const Text& url) { return isServiceDomain(hostOf(url)); }

}  // namespace fotolun
