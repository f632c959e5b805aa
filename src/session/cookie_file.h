#pragma once
// Cookies exported from a browser, for signing in without the hosted browser: a Netscape
// cookies.txt (as browsers' export tools and curl write it) or a file holding one document-cookie
// line ("a=b; c=d").
#include <optional>
#include <string>

#include "text/gbk_text.h"

namespace fotolun {

struct CookieFileResult {
  Text cookieText;    // "name=value; name=value" in GBK, as document.cookie would show it
  std::string error;  // UTF-8, naming the line; empty when the file was read
};

// Reads the text of a cookie file. Of a cookies.txt only the cookies of the service's domains
// (qq.com, qpic.cn and their subdomains) are taken, the first of each name.
CookieFileResult readCookieFileText(std::string_view content);

}  // namespace fotolun
