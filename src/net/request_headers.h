#pragma once
// The request header text both clients send: the caller's lines, then the defaults of the
// Windows request objects for whatever the caller left out.
#include <optional>
#include <string>
#include <vector>

#include "text/gbk_text.h"

namespace fotolun {

inline constexpr std::string_view kDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// 0 "GET", 1 "POST", 2 "HEAD"; any other method is a GET.
std::string RequestVerb(int method);

// Appends, each only when its marker is absent (case-sensitive, anywhere in the text): Accept,
// Referer (the URL), Accept-Language, User-Agent when withUserAgent, Content-Type.
void AppendDefaultHeaders(Text& headers, std::string_view url, bool withUserAgent);

// One header as libcurl takes it. A header needs a name to be sendable, and one holding a line
// break would go out as two headers: neither is sent. An empty value is written "Name;", the only
// way libcurl sends a header with nothing after its colon.
std::optional<std::string> CurlHeaderLine(std::string_view name, std::string_view value);

// A cookie text as one Cookie line's value: line breaks (a cookie file with old Mac line ends, a
// pasted text) part items as "; " does, and NUL bytes are dropped. Empty when nothing is left.
Text CookieHeaderValue(std::string_view cookieText);

// The CRLF lines of a header text as libcurl header lines, in their order; empty lines and lines
// without a name (no colon) are left out.
std::vector<std::string> CurlHeaderLines(std::string_view headerText);

}  // namespace fotolun
