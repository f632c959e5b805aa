#include "net/cookie_jar.h"

#include <curl/curl.h>

#include <array>
#include <charconv>
#include <ctime>

#include "net/curl_global.h"

namespace fotolun {
namespace {

struct ShareLocks {
  std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;
};

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void* locks) {
  static_cast<ShareLocks*>(locks)->locks[data].lock();
}
void UnlockShare(CURL*, curl_lock_data data, void* locks) {
  static_cast<ShareLocks*>(locks)->locks[data].unlock();
}

bool fitsALine(std::string_view text) { return text.find_first_of("\t\r\n") == std::string_view::npos; }

std::string cookieLine(std::string_view domain, std::string_view name, std::string_view value,
                       std::string_view expiry) {
  const bool subdomains = !domain.empty() && domain.front() == '.';
  std::string line(domain);
  line.append(subdomains ? "\tTRUE" : "\tFALSE").append("\t/\tFALSE\t").append(expiry);
  line.append("\t").append(name).append("\t").append(value);
  return line;
}

}  // namespace

CookieJar::CookieJar() {
  EnsureCurlReady();
  CURLSH* share = curl_share_init();
  if (share == nullptr) return;
  auto* locks = new ShareLocks;
  locks_ = locks;
  curl_share_setopt(share, CURLSHOPT_USERDATA, locks);
  curl_share_setopt(share, CURLSHOPT_LOCKFUNC, &LockShare);
  curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, &UnlockShare);
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  share_ = share;
  handle_ = curl_easy_init();
  if (handle_ != nullptr) curl_easy_setopt(static_cast<CURL*>(handle_), CURLOPT_SHARE, share);
}

CookieJar::~CookieJar() {
  if (handle_ != nullptr) curl_easy_cleanup(static_cast<CURL*>(handle_));
  if (share_ == nullptr) return;
  // A handle still attached keeps the share, and so its locks, from going.
  if (curl_share_cleanup(static_cast<CURLSH*>(share_)) == CURLSHE_OK) delete static_cast<ShareLocks*>(locks_);
}

void CookieJar::load(const std::string& line) {
  if (handle_ != nullptr) curl_easy_setopt(static_cast<CURL*>(handle_), CURLOPT_COOKIELIST, line.c_str());
}

void CookieJar::clear() {
  std::lock_guard lock(mutex_);
  load("ALL");
}

void CookieJar::set(std::string_view domain, std::string_view name, std::string_view value) {
  if (domain.empty() || name.empty() || !fitsALine(domain) || !fitsALine(name) || !fitsALine(value)) return;
  std::lock_guard lock(mutex_);
  load(cookieLine(domain, name, value, "0"));
}

void CookieJar::remove(std::string_view domain, std::string_view name) {
  if (domain.empty() || name.empty() || !fitsALine(domain) || !fitsALine(name)) return;
  std::lock_guard lock(mutex_);
  // A cookie that expired long ago replaces the one of that name, domain and path, and goes.
  load(cookieLine(domain, name, "", "1"));
}

std::vector<std::string> CookieJar::lines() const {
  std::vector<std::string> out;
  std::lock_guard lock(mutex_);
  if (handle_ == nullptr) return out;
  curl_slist* list = nullptr;
  if (curl_easy_getinfo(static_cast<CURL*>(handle_), CURLINFO_COOKIELIST, &list) != CURLE_OK) return out;
  // libcurl lists a cookie that expired (on arrival, or by remove) until it next cleans the jar.
  const long long now = static_cast<long long>(std::time(nullptr));
  for (const curl_slist* item = list; item != nullptr; item = item->next) {
    const std::string_view line(item->data);
    std::size_t expiryAt = 0;  // after the fourth tab
    for (int tab = 0; tab < 4 && expiryAt != std::string_view::npos; ++tab) {
      const std::size_t found = line.find('\t', expiryAt);
      expiryAt = found == std::string_view::npos ? found : found + 1;
    }
    long long expiry = 0;
    if (expiryAt != std::string_view::npos)
      std::from_chars(line.data() + expiryAt, line.data() + line.size(), expiry);
    if (expiry == 0 || expiry > now) out.emplace_back(line);
  }
  curl_slist_free_all(list);
  return out;
}

}  // namespace fotolun
