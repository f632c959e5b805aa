#include "session/service_domains.h"

#include <array>

namespace fotolun {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

bool isServiceDomain(std::string_view host) {
  static constexpr std::array<std::string_view, 2> kDomains = {"qq.com", "qpic.cn"};
  while (!host.empty() && host.front() == '.') host.remove_prefix(1);
  if (!host.empty() && host.back() == '.') host.remove_suffix(1);  // "qq.com." is qq.com
  for (const std::string_view domain : kDomains) {
    if (host.size() < domain.size()) continue;
    if (!equalsIgnoringCase(host.substr(host.size() - domain.size()), domain)) continue;
    if (host.size() == domain.size() || host[host.size() - domain.size() - 1] == '.') return true;
  }
  return false;
}

}  // namespace fotolun
