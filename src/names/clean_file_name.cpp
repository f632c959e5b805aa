#include "names/clean_file_name.h"

#include <array>
#include <string_view>

#include "text/encoding.h"

namespace fotolun {

Text cleanFileName(const Text& name) {
  static const std::array<Text, 17> kRemoved = [] {
    constexpr std::array<std::string_view, 17> utf8 = {":",  "\\", "/",  "?",  "*", "<",  ">",  "|", "：",
                                                       "？", "。", "（", "）", "·", "！", "，", "."};
    std::array<Text, 17> out;
    for (std::size_t i = 0; i < utf8.size(); ++i) out[i] = Utf8ToGbk(utf8[i]);
    return out;
  }();
  Text cleaned = dropControlCharacters(name);
  for (const Text& character : kRemoved) cleaned = ReplaceText(cleaned, character, "");
  return cleaned;
}

namespace {

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "\u0001" at at: a JSON escape of a control character, six bytes long.
bool controlEscapeAt(const Text& text, std::size_t at) {
  if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u' || text[at + 2] != '0' ||
      text[at + 3] != '0')
    return false;
  const int high = hexValue(text[at + 4]);
  const int low = hexValue(text[at + 5]);
  return low >= 0 && (high == 0 || high == 1 || (high == 7 && low == 15));
}

}  // namespace

Text dropControlCharacters(const Text& name) {
  Text kept;
  kept.reserve(name.size());
  for (std::size_t at = 0; at < name.size();) {
    const auto c = static_cast<unsigned char>(name[at]);
    // A double-byte character may have "\\" as its second byte: it is stepped over whole.
    if (c >= 0x81 && at + 1 < name.size()) {
      kept.append(name, at, 2);
      at += 2;
    } else if (controlEscapeAt(name, at)) {
      at += 6;
    } else if (c == '\\' && at + 1 < name.size()) {
      kept.append(name, at, 2);  // an escape of its own, "\\" included
      at += 2;
    } else {
      if (!isControl(c)) kept += name[at];
      ++at;
    }
  }
  return kept;
}

}  // namespace fotolun
