#include "session/browser_cookies.h"

#include <algorithm>
#include <map>

#include "session/service_domains.h"

namespace fotolun {
namespace {

Text bareDomain(const Text& domain) {
  return !domain.empty() && domain[0] == '.' ? domain.substr(1) : domain;
}

bool sameCookie(const BrowserCookie& a, const Text& aPath, const BrowserCookie& b, const Text& bPath) {
  return a.name == b.name && bareDomain(a.domain) == bareDomain(b.domain) && aPath == bPath;
}

}  // namespace

void BrowserCookieJar::added(BrowserCookie cookie, const Text& path) {
  removed(cookie, path);
  entries_.push_back({std::move(cookie), path});
}

void BrowserCookieJar::removed(const BrowserCookie& cookie, const Text& path) {
  std::erase_if(entries_,
                [&](const Entry& entry) { return sameCookie(entry.cookie, entry.path, cookie, path); });
}

Text BrowserCookieJar::serviceCookieText() const {
  std::map<Text, const BrowserCookie*> chosen;
  std::vector<Text> order;
  for (const Entry& entry : entries_) {
    const BrowserCookie& cookie = entry.cookie;
    if (cookie.name.empty() || !isServiceDomain(cookie.domain)) continue;
    const auto [it, fresh] = chosen.try_emplace(cookie.name, &cookie);
    if (fresh) {
      order.push_back(cookie.name);
    } else if (bareDomain(cookie.domain).size() > bareDomain(it->second->domain).size()) {
      it->second = &cookie;
    }
  }
  Text text;
  for (const Text& name : order) {
    if (!text.empty()) text += "; ";
    text += name + "=" + chosen[name]->value;
  }
  return text;
}

}  // namespace fotolun
