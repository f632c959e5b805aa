#include "net/url_parts.h"

#include <algorithm>
#include <climits>

namespace fotolun {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char c = text[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) != prefix[i]) return false;
  }
  return true;
}

// Where the host begins: behind a leading scheme, in any letter case, or at the start of an
// address without one. The scheme is only ever looked for at the start, so an address such as
// "route.example/go?to=http://x/" keeps its own host, and the path is looked for behind the host
// itself: the host "tp" also stands inside "http", yet "http://tp.example/x" gives "/x".
std::size_t HostStart(std::string_view url) {
  if (StartsWithNoCase(url, "https://")) return 8;
  if (StartsWithNoCase(url, "http://")) return 7;
  return 0;
}

}  // namespace

Text UrlHost(std::string_view url, bool keepPort) {
  const std::string_view rest = url.substr(HostStart(url));
  Text host(rest.substr(0, rest.find('/')));
  if (!keepPort) {
    const int colon = FindText(host, ":");
    if (colon != -1) host.resize(static_cast<std::size_t>(colon - 1));
  }
  return host;
}

int UrlPort(std::string_view url) {
  const Text host = UrlHost(url, true);
  const int colon = FindTextFromEnd(host, ":");
  if (colon == -1) return IsHttpsUrl(url) ? 443 : 80;
  long long port = 0;
  for (std::size_t i = static_cast<std::size_t>(colon); i < host.size(); ++i) {
    if (host[i] < '0' || host[i] > '9') break;
    port = std::min<long long>(port * 10 + (host[i] - '0'), INT_MAX);
  }
  return static_cast<int>(port);
}

bool IsHttpsUrl(std::string_view url) { return StartsWithNoCase(url, "https"); }

Text UrlPath(std::string_view url) {
  const std::size_t slash = url.find('/', HostStart(url));
  return slash == std::string_view::npos ? Text("/") : Text(url.substr(slash));
}

ByteBuffer ConcatBytes(std::initializer_list<std::string_view> buffers) {
  std::size_t total = 0;
  for (std::string_view buffer : buffers) total += buffer.size();
  ByteBuffer joined;
  joined.reserve(total);
  for (std::string_view buffer : buffers) joined.append(buffer);
  return joined;
}

int FindLineContaining(std::string_view text, std::string_view needle, bool caseSensitive) {
  const std::vector<Text> lines = SplitText(text, "\r\n");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (FindText(lines[i], needle, 1, !caseSensitive) != -1) return static_cast<int>(i + 1);
  }
  return 0;
}

Text LineAt(std::string_view text, int n) {
  const std::vector<Text> lines = SplitText(text, "\r\n");
  if (n < 1 || static_cast<std::size_t>(n) > lines.size()) return "";
  return lines[static_cast<std::size_t>(n - 1)];
}

Text HeaderName(std::string_view line) {
  const int colon = FindText(line, ":");
  return colon == -1 ? Text() : TrimSpaces(line.substr(0, static_cast<std::size_t>(colon - 1)));
}

Text HeaderValue(std::string_view line) {
  const int colon = FindText(line, ":");
  return colon == -1 ? Text() : TrimSpaces(line.substr(static_cast<std::size_t>(colon)));
}

long long HeaderNumber(std::string_view headers, std::string_view name) {
  constexpr long long kLargest = 1'000'000'000'000'000;
  for (const Text& line : SplitText(headers, "\r\n")) {
    const Text lineName = HeaderName(line);
    if (lineName.size() != name.size() || FindText(lineName, name, 1, true) != 1) continue;
    const Text value = HeaderValue(line);
    if (value.empty() || value.find_first_not_of("0123456789") != Text::npos) return -1;
    long long number = 0;
    for (const char digit : value) number = std::min(number * 10 + (digit - '0'), kLargest);
    return number;
  }
  return -1;
}

}  // namespace fotolun
