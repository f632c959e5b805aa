#pragma once
// The service's cookies as a browser's cookie store holds them, script-hidden (HttpOnly) ones
// included, for the session record's share that only the https endpoints are sent.
#include <vector>

#include "text/gbk_text.h"

namespace fotolun {

struct BrowserCookie {
  Text name;
  Text value;
  Text domain;  // as the store gives it, a leading dot or not
};

// A store's cookies as they change: a cookie of the same name, domain and path replaces the one
// there was, and a removed one goes.
class BrowserCookieJar {
 public:
  void added(BrowserCookie cookie, const Text& path);
  void removed(const BrowserCookie& cookie, const Text& path);
  // "name=value; ..." of the cookies of the service's own domains (qq.com, qpic.cn) only; a
  // name set for several domains gives the most specific domain's value.
  Text serviceCookieText() const;

 private:
  struct Entry {
    BrowserCookie cookie;
    Text path;
  };
  std::vector<Entry> entries_;
};

}  // namespace fotolun
