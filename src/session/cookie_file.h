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

// Whether the content is a cookies.txt (as opposed to a document-cookie line): only such a file is
// rewritten with the session's renewed cookies; a line file stays as its user wrote it.
bool isCookiesTxt(std::string_view content);

// existing (a cookies.txt, or "") rewritten to hold cookies ("name=value; ...", GBK): the service's
// lines take the new values in place, those of names no longer in cookies go, new names are
// added on .qq.com (where the sign-in shares them), and other domains' lines stay as they were.
std::string cookiesTxtWith(std::string_view existing, const Text& cookies);

// Replaces the file at path (UTF-8) with content at once, through a file beside it renamed over
// it, readable by the user alone: a session is a password. Creates the folder when missing.
bool writeCookieFile(const std::string& path, const std::string& content, std::string* error);

}  // namespace fotolun
