// Code page 936 as Windows has it, on every system: the same table runs on Linux (iconv) and on
// Windows (the system's own conversion), so the bytes a name or a reply becomes never depend on
// where the program runs. The cases are the ones where glibc's CP936, Python's cp936 and Windows'
// 936 part ways, and the rules the program adds (one "?" per character, U+FFFD per bad byte).
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/hex_bytes.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

using testing::Hex;

constexpr std::string_view kFffd = "\xEF\xBF\xBD";

enum class Way { both, toGbk, toUtf8 };

struct Case {
  std::string_view utf8;
  std::string_view gbk;
  Way way;
  const char* what;
};

// "both": each converts into the other. "toGbk"/"toUtf8": only that way (the other way gives
// something else, or the input is not valid text).
constexpr Case kCases[] = {
    {"A~\x7F", "A~\x7F", Way::both, "ASCII"},
    {"\xE6\x88\x91\xE7\x9A\x84\xE7\x9B\xB8\xE5\x86\x8C", "\xCE\xD2\xB5\xC4\xCF\xE0\xB2\xE1", Way::both,
     "我的相册"},
    {"\xE2\x82\xAC", "\x80", Way::both, "U+20AC is the single byte 80 (not in Python's cp936)"},
    {"\xC2\xB7", "\xA1\xA4", Way::both, "U+00B7 middle dot"},
    {"\xE2\x80\x94", "\xA1\xAA", Way::both, "U+2014 em dash"},
    {"\xE2\x80\x95", "\xA8\x44", Way::both, "U+2015 horizontal bar"},
    {"\xE2\x88\xA5", "\xA1\xCE", Way::both, "U+2225 parallel to"},
    {"\xEF\xBD\x9E", "\xA1\xAB", Way::both, "U+FF5E full-width tilde"},
    {"\xE3\x80\x80", "\xA1\xA1", Way::both, "U+3000 full-width space"},
    {"\xE4\xB9\x97\xE6\x99\x90", "\x81\x5C\x95\x7C", Way::both, "trail bytes \\ and |"},
    // The user-defined areas and GBK's unassigned pairs are the Private Use Area on Windows;
    // glibc and Python have no character for them.
    {"\xEE\x80\x80", "\xAA\xA1", Way::both, "U+E000 first of AAA1-AFFE"},
    {"\xEE\x88\xB4", "\xF8\xA1", Way::both, "U+E234 first of F8A1-FEFE"},
    {"\xEE\x93\x86", "\xA1\x40", Way::both, "U+E4C6 first of A140-A7A0"},
    {"\xEE\x97\xA5", "\xA3\xA0", Way::both, "U+E5E5"},
    {"\xEE\x9F\x87", "\xA8\xBC", Way::both, "U+E7C7 (GB 18030 has U+1E3F here)"},
    {"\xEE\xA1\xA4", "\xFE\xA0", Way::both, "U+E864 the last"},
    {"\xEF\xA3\xB5", "\xFF", Way::toGbk, "U+F8F5 is written FF, which reads as no character"},
    // What 936 cannot hold: one "?" a character, no best fit.
    {"\xE3\x83\xBB", "?", Way::toGbk, "U+30FB katakana middle dot"},
    {"\xC2\xA5", "?", Way::toGbk, "U+00A5 yen (best fit would give A3A4)"},
    {"\xE2\x80\xBE", "?", Way::toGbk, "U+203E overline (best fit would give A3FE)"},
    {"\xC2\xA0", "?", Way::toGbk, "U+00A0 no-break space"},
    {"\xE1\xB8\xBF", "?", Way::toGbk, "U+1E3F"},
    {"\xEE\xA1\xA5", "?", Way::toGbk, "U+E865 past the last private character"},
    {"\xEF\xBF\xBD\xEF\xBB\xBF", "??", Way::toGbk, "U+FFFD, U+FEFF"},
    {"a\xF0\x9F\x98\x80"
     "b",
     "a?b", Way::toGbk, "an emoji is one character"},
    {"\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9", "???", Way::toGbk, "emoji joined by U+200D"},
    {"\xF0\x9F\x8F\xB4\xF3\xA0\x81\xA7\xF3\xA0\x81\xBF"
     "x",
     "???x", Way::toGbk, "tag characters (glibc drops them)"},
    // Ill-formed UTF-8: one "?" for each maximal ill-formed part.
    {"a\xE4\xB8"
     "b",
     "a?b", Way::toGbk, "cut-off character"},
    {"a\xF0\x9F\x98", "a?", Way::toGbk, "cut-off emoji at the end"},
    {"a\xC0\x80"
     "b",
     "a??b", Way::toGbk, "overlong NUL"},
    {"a\xED\xA0\x80"
     "b",
     "a???b", Way::toGbk, "lone high surrogate"},
    {"\xED\xA0\xBD\xED\xB8\x80", "??????", Way::toGbk, "surrogate pair written as two characters"},
    {"\xED\xBF\xBF\xE4\xB8\xAD", "???\xD6\xD0", Way::toGbk, "lone low surrogate"},
    {"\xF4\x90\x80\x80", "????", Way::toGbk, "U+110000"},
    {"\xFF\xFE", "??", Way::toGbk, "bytes UTF-8 never has"},
    {"\xC3\xE4\xB8\xAD", "?\xD6\xD0", Way::toGbk, "lead byte cut short by another"},
    {std::string_view("ab\0cd", 5), "ab", Way::toGbk, "the text ends at its first NUL"},
    // Bytes that start no 936 character: U+FFFD each, and the byte after starts afresh.
    {"a\xEF\xBF\xBD"
     "b",
     "a\xFF"
     "b",
     Way::toUtf8, "FF"},
    {"a\xEF\xBF\xBD", "a\xD6", Way::toUtf8, "lead byte at the end"},
    {"\xEF\xBF\xBD"
     "0\xE4\xB8\xAD",
     "\xD6"
     "0\xD6\xD0",
     Way::toUtf8, "lead byte with a byte no trail is"},
    {"\xEF\xBF\xBD\x7F", "\x81\x7F", Way::toUtf8, "7F is no trail byte"},
    {std::string_view("\xEF\xBF\xBD\0", 4), std::string_view("\x81\0", 2), Way::toUtf8, "nor NUL"},
};

TEST(CodePage936, SameBytesOnEverySystem) {
  for (const Case& c : kCases) {
    if (c.way != Way::toUtf8) {
      EXPECT_EQ(Hex(Utf8ToGbk(c.utf8)), Hex(c.gbk)) << c.what;
    }
    if (c.way != Way::toGbk) {
      EXPECT_EQ(Hex(GbkToUtf8(c.gbk)), Hex(c.utf8)) << c.what;
    }
  }
  // All at once: the system converts long runs, and stops in the middle of them here.
  std::string utf8, gbk;
  for (const Case& c : kCases) {
    if (c.way == Way::toUtf8 || c.utf8.find('\0') != std::string_view::npos) continue;
    for (int i = 0; i < 40; ++i)
      utf8.append(c.utf8).append("\xE4\xB8\xAD"), gbk.append(c.gbk).append("\xD6\xD0");
  }
  EXPECT_EQ(Hex(Utf8ToGbk(utf8)), Hex(gbk));
}

// Windows gives every lead byte (81-FE) with every trail byte (40-7E, 80-FE) a character of its own.
TEST(CodePage936, EveryDoubleByteSequenceIsOneCharacterAndComesBack) {
  std::string all;
  int characters = 0;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string utf8 = GbkToUtf8(pair);
      // One character, of two UTF-8 bytes (U+00B7 and the like) or three.
      ASSERT_TRUE((utf8.size() == 2 || utf8.size() == 3) && static_cast<unsigned char>(utf8[0]) >= 0xC2)
          << Hex(pair) << " -> " << Hex(utf8);
      ASSERT_NE(utf8, kFffd) << Hex(pair);
      ASSERT_EQ(Hex(Utf8ToGbk(utf8)), Hex(pair)) << Hex(utf8);
      all += pair;
      ++characters;
    }
  }
  EXPECT_EQ(characters, 126 * 190);
  EXPECT_EQ(Utf8ToGbk(GbkToUtf8(all)) == all, true);
}

}  // namespace
}  // namespace fotolun
