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
  Text cleaned = name;
  for (const Text& character : kRemoved) cleaned = ReplaceText(cleaned, character, "");
  return cleaned;
}

}  // namespace fotolun
