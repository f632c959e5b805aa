#include "net/content_range.h"

#include <charconv>

#include "net/url_parts.h"

namespace fotolun {
namespace {

// The number at the front of text, which it then leaves; false when there is none.
bool takeNumber(std::string_view& text, unsigned long long& number) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end == text.data()) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

bool takeText(std::string_view& text, std::string_view expected) {
  if (!text.starts_with(expected)) return false;
  text.remove_prefix(expected.size());
  return true;
}

}  // namespace

bool rangeCoversWholeBody(std::string_view headers, std::size_t bodyBytes) {
  for (const Text& line : SplitText(headers, "\r\n")) {
    const Text name = HeaderName(line);
    if (name.size() != 13 || FindText(name, "Content-Range", 1, true) != 1) continue;
    const Text value = HeaderValue(line);
    std::string_view rest = value;
    unsigned long long first = 0, last = 0, total = 0;
    if (!takeText(rest, "bytes ") || !takeNumber(rest, first) || !takeText(rest, "-") ||
        !takeNumber(rest, last) || !takeText(rest, "/") || !takeNumber(rest, total) || !rest.empty())
      return false;
    return first == 0 && total > 0 && last + 1 == total && total == bodyBytes;
  }
  return false;
}

}  // namespace fotolun
