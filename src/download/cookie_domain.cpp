#include "download/cookie_domain.h"

#include <array>
#include <string_view>

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

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

bool sendsSessionCookies(const Text& url) {
  static constexpr std::array<std::string_view, 2> kDomains = {"qq.com", "qpic.cn"};
  std::string_view host = hostOf(url);
  if (!host.empty() && host.back() == '.') host.remove_suffix(1);  // "qq.com." is qq.com
  for (const std::string_view domain : kDomains) {
    if (host.size() < domain.size()) continue;
    const std::string_view tail = host.substr(host.size() - domain.size());
    if (!equalsIgnoringCase(tail, domain)) continue;
    if (host.size() == domain.size() || host[host.size() - domain.size() - 1] == '.') return true;
  }
  return false;
}

}  // namespace fotolun
