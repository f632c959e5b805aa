// Prints what Utf8ToGbk and GbkToUtf8 make of a large table of inputs, one line each, so that the
// Linux build and the Windows build (run under Wine) can be compared byte for byte; see
// code_page_compare.sh. Needs only the two conversion files and the system's side of them.
#include <cstdio>
#include <string>
#include <string_view>

#include "text/encoding.h"

namespace {

std::string Hex(std::string_view bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out.empty() ? "-" : out;
}

// UTF-8 as a lenient encoder writes it: surrogates too, so they can be fed in as bad input.
std::string Utf8Of(unsigned cp) {
  std::string s;
  const auto add = [&](unsigned v) { s += static_cast<char>(v); };
  if (cp < 0x80) {
    add(cp);
  } else if (cp < 0x800) {
    add(0xC0 | (cp >> 6));
    add(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    add(0xE0 | (cp >> 12));
    add(0x80 | ((cp >> 6) & 0x3F));
    add(0x80 | (cp & 0x3F));
  } else {
    add(0xF0 | (cp >> 18));
    add(0x80 | ((cp >> 12) & 0x3F));
    add(0x80 | ((cp >> 6) & 0x3F));
    add(0x80 | (cp & 0x3F));
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  FILE* out = std::fopen(argv[1], "wb");
  if (!out) return 1;
  const auto line = [&](char kind, std::string_view in, std::string_view result) {
    std::fprintf(out, "%c %s %s\n", kind, Hex(in).c_str(), Hex(result).c_str());
  };
  const auto decode = [&](std::string_view gbk) { line('D', gbk, fotolun::GbkToUtf8(gbk)); };
  const auto encode = [&](std::string_view utf8) { line('E', utf8, fotolun::Utf8ToGbk(utf8)); };

  // Every single byte, every lead byte with every second byte, and all of them in one text.
  std::string all;
  for (unsigned first = 0; first < 0x100; ++first) {
    decode(std::string(1, static_cast<char>(first)));
    for (unsigned second = 0; first >= 0x80 && second < 0x100; ++second) {
      const std::string pair{static_cast<char>(first), static_cast<char>(second)};
      decode(pair);
      decode(pair + "A");
      all += pair;
    }
  }
  decode(all);

  // Every code point, surrogates included (ill-formed in UTF-8), alone and in long mixed texts.
  std::string mixed;
  for (unsigned cp = 1; cp < 0x110000; ++cp) {
    encode(Utf8Of(cp));
    if (cp % 5 == 0 || (cp >= 0xE000 && cp < 0xE900)) mixed += Utf8Of(cp);
    if (mixed.size() > 60000) {
      encode(mixed);
      mixed.clear();
    }
  }
  encode(mixed);

  const char* texts[] = {
      "\xE6\x88\x91\xE7\x9A\x84\xE7\x9B\xB8\xE5\x86\x8C",  // 我的相册
      "a\xF0\x9F\x98\x80"
      "b\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9"
      "c",                                                                 // emoji, a joined pair
      "\xF0\x9F\x8F\xB4\xF3\xA0\x81\xA7\xF3\xA0\x81\xA2\xF3\xA0\x81\xBF",  // a flag of tag characters
      "a\xE4\xB8"
      "b",
      "a\xE4\xB8",
      "a\xF0\x9F\x98",
      "a\xC0\x80"
      "b",
      "a\xE0\x80\xAF"
      "b",
      "a\x80\xBF"
      "b",
      "a\xED\xA0\x80"
      "b",
      "\xED\xA0\xBD\xED\xB8\x80",
      "\xED\xBF\xBF\xE4\xB8\xAD",
      "\xF5\x80\x80\x80",
      "\xF4\x90\x80\x80",
      "\xFF\xFE",
      "\xC3\xE4\xB8\xAD",
      "\xEF\xBB\xBF"
      "BOM",
      "\xE2\x82\xAC\xC2\xB7\xE2\x80\x94"
      "\xE2\x80\x95\xE3\x83\xBB\xC2\xA5\xE2\x80\xBE\xEF\xBD\x9E\xE2\x88\xA5",
  };
  for (const char* text : texts) encode(text);
  encode(std::string_view("ab\0cd", 5));
  std::fclose(out);
  return 0;
}
