#include "session/session_jar.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string_view>

#include "session/session_destination.h"

namespace fotolun {
namespace {

constexpr std::string_view kSignInDomain = ".qq.com";

// name -> value of a "name=value; ..." text, the first of each name.
std::map<Text, Text> cookieItems(const Text& text) {
  std::map<Text, Text> items;
  for (const Text& piece : SplitText(text, ";")) {
    const Text item = TrimSpaces(piece);
    const int eq = FindText(item, "=");
    if (eq <= 1) continue;
    items.emplace(TrimSpaces(std::string_view(item).substr(0, eq - 1)), std::string_view(item).substr(eq));
  }
  return items;
}

std::vector<Text> sessionDomains(const ServiceHosts& hosts) {
  std::vector<Text> domains{Text(kSignInDomain)};
  for (const Text* configured : {&hosts.routing, &hosts.personalSpace, &hosts.groupPhoto, &hosts.staticPage,
                                 &hosts.staticImage, &hosts.h5}) {
    Text host = hostOfUrl("http://" + *configured);
    for (char& c : host) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (host.empty() || host == "qq.com" || host.ends_with(".qq.com")) continue;
    if (std::find(domains.begin(), domains.end(), host) == domains.end()) domains.push_back(host);
  }
  return domains;
}

// The cookies set that the jar took, as they are; one it refused or dropped at once (another
// domain's, one already expired) as "name=deleted", which takes it out of the credentials too.
Text takenByJar(const Text& setCookies, const std::vector<std::string>& jarLines) {
  std::set<std::pair<std::string, std::string>> held;
  for (const std::string& line : jarLines) {
    std::vector<std::string_view> fields;
    for (std::string_view rest = line;;) {
      const std::size_t tab = rest.find('\t');
      fields.push_back(rest.substr(0, tab));
      if (tab == std::string_view::npos) break;
      rest.remove_prefix(tab + 1);
    }
    if (fields.size() == 7) held.emplace(fields[5], fields[6]);
  }
  Text taken;
  for (const Text& piece : SplitText(setCookies, ";")) {
    const Text item = TrimSpaces(piece);
    const int eq = FindText(item, "=");
    if (eq <= 1) continue;
    const Text name = TrimSpaces(std::string_view(item).substr(0, eq - 1));
    const Text value = Text(std::string_view(item).substr(eq));
    if (!taken.empty()) taken += "; ";
    taken += held.count({name, value}) != 0 ? item : name + "=deleted";
  }
  return taken;
}

}  // namespace

void* SessionJar::prepare(const ServiceHosts& hosts) {
  std::vector<Text> domains = sessionDomains(hosts);
  // The credentials are read under the jar's lock: two requests must not fill it out of order.
  std::lock_guard lock(mutex_);
  auto [credentials, generation] = credentials_.getWithGeneration();
  const Text whole = wholeSessionCookies(credentials);
  if (!filled_ || generation != generation_ || domains != domains_) {
    // A new sign-in (or other hosts): nothing of the old session stays.
    jar_.clear();
    for (const auto& [name, value] : cookieItems(whole))
      for (const Text& domain : domains) jar_.set(domain, name, value);
  } else if (whole != loaded_) {
    // Only what changed since: a cookie the service set with its own domain and path stays so.
    const std::map<Text, Text> before = cookieItems(loaded_);
    const std::map<Text, Text> now = cookieItems(whole);
    for (const auto& [name, value] : now) {
      const auto was = before.find(name);
      if (was != before.end() && was->second == value) continue;
      for (const Text& domain : domains) jar_.set(domain, name, value);
    }
    for (const auto& [name, value] : before)
      if (now.count(name) == 0)
        for (const Text& domain : domains) jar_.remove(domain, name);
  }
  filled_ = true;
  loaded_ = whole;
  generation_ = generation;
  domains_ = std::move(domains);
  return jar_.share();
}

void SessionJar::learned(const Text& setCookies) {
  std::lock_guard lock(mutex_);
  if (!filled_ || setCookies.empty()) return;
  const auto merged = credentials_.mergeStoreCookies(takenByJar(setCookies, jar_.lines()), generation_);
  // The jar already holds these as the reply set them; the text it is compared with next time
  // says so, or they would go in again on the sign-in's domain. A change that came another way
  // meanwhile is left for the next prepare to find.
  if (merged && merged->first == loaded_) loaded_ = merged->second;
}

void SessionJar::forget(const Text& name) {
  std::lock_guard lock(mutex_);
  for (const Text& domain : domains_) jar_.remove(domain, name);
  if (!filled_) return;
  const auto merged = credentials_.mergeStoreCookies(name + "=deleted", generation_);
  if (merged && merged->first == loaded_) loaded_ = merged->second;
}

}  // namespace fotolun
