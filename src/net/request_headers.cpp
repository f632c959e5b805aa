#include "net/request_headers.h"

#include <algorithm>

#include "net/url_parts.h"

namespace fotolun {

std::string RequestVerb(int method) {
  switch (method) {
    case 1:
      return "POST";
    case 2:
      return "HEAD";
    default:
      return "GET";
  }
}

void AppendDefaultHeaders(Text& headers, std::string_view url, bool withUserAgent) {
  const auto absent = [&headers](std::string_view marker) { return FindText(headers, marker) == -1; };
  if (headers.empty()) {
    headers = "Accept: */*";
  } else if (absent("Accept:")) {
    headers += "\r\nAccept: */*";
  }
  if (absent("Referer:")) headers += ConcatText(std::string_view("\r\nReferer: "), url);
  if (absent("Accept-Language:")) headers += "\r\nAccept-Language: zh-cn";
  if (withUserAgent && absent("User-Agent:"))
    headers += ConcatText(std::string_view("\r\nUser-Agent: "), kDefaultAgent);
  if (absent("Content-Type:")) headers += "\r\nContent-Type: application/x-www-form-urlencoded";
}

std::optional<std::string> CurlHeaderLine(std::string_view name, std::string_view value) {
  if (name.empty()) return std::nullopt;
  const auto breaksLine = [](std::string_view part) {
    return std::any_of(part.begin(), part.end(), [](char c) { return c == '\r' || c == '\n'; });
  };
  if (breaksLine(name) || breaksLine(value)) return std::nullopt;
  const Text trimmed = TrimSpaces(value);
  if (trimmed.empty()) return ConcatText(name, std::string_view(";"));
  return ConcatText(name, std::string_view(": "), trimmed);
}

Text CookieHeaderValue(std::string_view cookieText) {
  Text value;
  bool broken = false;
  for (const char ch : cookieText) {
    if (ch == '\0') continue;
    if (ch == '\r' || ch == '\n') {
      broken = true;
      continue;
    }
    if (broken && !value.empty()) value += "; ";
    broken = false;
    value += ch;
  }
  return TrimSpaces(value);
}

std::vector<std::string> CurlHeaderLines(std::string_view headerText) {
  std::vector<std::string> lines;
  for (const Text& line : SplitText(headerText, "\r\n")) {
    if (auto curlLine = CurlHeaderLine(HeaderName(line), HeaderValue(line)))
      lines.push_back(std::move(*curlLine));
  }
  return lines;
}

}  // namespace fotolun
