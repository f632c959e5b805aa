#pragma once
// libcurl's own cookie engine as one jar that several easy handles (on several threads) share:
// it applies the cookie rules (domain on a dot boundary, path, expiry, secure) to what goes out
// and takes every Set-Cookie that comes back, so nothing here matches cookies by hand.
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace fotolun {

class CookieJar {
 public:
  CookieJar();
  ~CookieJar();
  CookieJar(const CookieJar&) = delete;
  CookieJar& operator=(const CookieJar&) = delete;

  // The CURLSH* a transfer attaches (TransferRequest::cookieShare); null when libcurl made none.
  void* share() const { return share_; }

  // Forgets every cookie.
  void clear();
  // Sets a cookie as a browser's store holds it: on domain and its subdomains when domain starts
  // with ".", else on that host alone; path "/"; for the session (no expiry). A name or value
  // that a cookie line cannot hold (tab, line break) is not set.
  void set(std::string_view domain, std::string_view name, std::string_view value);
  // Removes the cookie of that name on domain, as set() set it.
  void remove(std::string_view domain, std::string_view name);
  // Every cookie in the jar that has not expired, as a cookies.txt line (domain, subdomains flag, path,
  // secure, expiry, name, value, separated by tabs), "#HttpOnly_" in front of those set HttpOnly.
  std::vector<std::string> lines() const;

 private:
  void load(const std::string& line);

  void* share_ = nullptr;
  void* locks_ = nullptr;   // the share's, one mutex per kind of data
  void* handle_ = nullptr;  // the jar's own easy handle, for loading and reading it
  mutable std::mutex mutex_;
};

}  // namespace fotolun
