// Utf8ToGbk / GbkToUtf8 against Python's cp936 codec over the whole Basic Multilingual Plane and
// every GBK byte pair, plus invalid UTF-8.
//
// Accepted differences from Python, where the program follows Windows' code page 936 (each checked
// below rather than skipped; code_page_936_test.cpp holds the exact bytes):
// - U+20AC <-> 0x80. Python's "cp936" is an alias of its "gbk" codec, which has no 0x80.
// - The user-defined areas of GBK and its unassigned pairs (2149 pairs) are U+E000 to U+E864 on
//   Windows; Python has no character for them, replaces the lead byte and reads the trail byte
//   again on its own (so "A1 41" gives U+FFFD "A"), and encodes those code points as "?".
// - U+F8F5 is written as the single byte FF on Windows.
#include "text/encoding.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/system.h"
#include "support/hex_bytes.h"

namespace fotolun {
namespace {

std::string Utf8Of(unsigned cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

using testing::Hex;

std::string Unhex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

// Python's answers, as lines "E <code point hex> <cp936 bytes hex>" for every BMP code point but
// the surrogates (and NUL), and "D <GBK bytes hex> <UTF-8 hex>" for every single high byte and
// every lead/trail pair.
constexpr const char* kPythonScript = R"PY(
import sys
out = []
for cp in range(1, 0x10000):
    if 0xD800 <= cp < 0xE000:
        continue
    out.append("E %X %s" % (cp, chr(cp).encode("cp936", "replace").hex().upper()))
for b in range(0x80, 0x100):
    out.append("D %02X %s" % (b, bytes([b]).decode("cp936", "replace").encode("utf-8").hex().upper()))
for lead in range(0x81, 0xFF):
    for trail in range(0x40, 0xFF):
        if trail == 0x7F:
            continue
        pair = bytes([lead, trail])
        out.append("D %02X%02X %s" % (lead, trail, pair.decode("cp936", "replace").encode("utf-8").hex().upper()))
sys.stdout.write("\n".join(out) + "\n")
)PY";

struct PythonTables {
  std::map<unsigned, std::string> encoded;     // code point -> cp936 bytes
  std::map<std::string, std::string> decoded;  // GBK bytes -> UTF-8 bytes
};

const PythonTables& Python() {
  static const PythonTables tables = [] {
    PythonTables t;
    std::string command = "python3 -c '";
    command += kPythonScript;
    command += "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return t;
    std::string all;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0) all.append(buffer, n);
    std::istringstream lines(all);
    std::string kind, key, value, line;
    while (std::getline(lines, line)) {
      std::istringstream fields(line);
      value.clear();
      fields >> kind >> key >> value;
      if (kind == "E") t.encoded[static_cast<unsigned>(std::stoul(key, nullptr, 16))] = Unhex(value);
      if (kind == "D") t.decoded[Unhex(key)] = Unhex(value);
    }
    return t;
  }();
  return tables;
}

constexpr std::string_view kFffd = "\xEF\xBF\xBD";

TEST(Utf8ToGbk, MatchesPythonCp936OverTheWholeBmp) {
  // Python's cp936 is the referee of the Linux side; on Windows the system's own table is the
  // conversion, checked by the shared table in code_page_936_test.cpp.
  if (platform::kWindows) GTEST_SKIP() << "python3 is not there on Windows";
  const auto& python = Python().encoded;
  ASSERT_EQ(python.size(), 0xFFFFu - 0x800u) << "python3 did not answer (is it installed?)";
  int compared = 0;
  std::string together, expectedTogether;
  for (const auto& [cp, expected] : python) {
    const std::string utf8 = Utf8Of(cp);
    const Text ours = Utf8ToGbk(utf8);
    if (cp == 0x20AC) {
      EXPECT_EQ(ours, "\x80");  // Windows 936; Python has no euro sign here
      continue;
    }
    if (cp >= 0xE000 && cp <= 0xE864) {  // Windows' private-use pairs
      EXPECT_EQ(ours.size(), 2u) << "U+" << std::hex << cp;
      continue;
    }
    if (cp == 0xF8F5) {
      EXPECT_EQ(ours, "\xFF");
      continue;
    }
    ASSERT_EQ(Hex(ours), Hex(expected)) << "U+" << std::hex << cp;
    ++compared;
    if (cp % 7 == 0) {  // a long mixed text too, so the bulk path and the fallback meet
      together += utf8;
      expectedTogether += expected;
    }
  }
  EXPECT_GT(compared, 60000);
  EXPECT_EQ(Hex(Utf8ToGbk(together)), Hex(expectedTogether));
}

TEST(GbkToUtf8, MatchesPythonCp936ForEveryLeadAndTrailByte) {
  // Python's cp936 is the referee of the Linux side; on Windows the system's own table is the
  // conversion, checked by the shared table in code_page_936_test.cpp.
  if (platform::kWindows) GTEST_SKIP() << "python3 is not there on Windows";
  const auto& python = Python().decoded;
  ASSERT_EQ(python.size(), 128u + 126u * 190u) << "python3 did not answer (is it installed?)";
  int same = 0, privatePairs = 0;
  for (const auto& [gbk, expected] : python) {
    const std::string ours = GbkToUtf8(gbk);
    if (gbk == "\x80") {
      EXPECT_EQ(ours, "\xE2\x82\xAC");  // 0x80 is the euro sign in Windows 936
      continue;
    }
    if (ours == expected) {
      ++same;
      continue;
    }
    // A pair Windows gives the Private Use Area, where Python has no character.
    ASSERT_EQ(gbk.size(), 2u) << Hex(gbk);
    EXPECT_TRUE(ours >= "\xEE\x80\x80" && ours <= "\xEE\xA1\xA4") << Hex(gbk) << " -> " << Hex(ours);
    EXPECT_EQ(expected.substr(0, 3), kFffd) << Hex(gbk);
    ++privatePairs;
  }
  EXPECT_GT(same, 21000);  // every character GBK defines converts as Python converts it
  EXPECT_EQ(privatePairs, 0xE864 - 0xE000 + 1);
}

TEST(Utf8ToGbk, RoundTripsEveryGbkCharacter) {
  // Every pair that decodes to a real character encodes back to the same two bytes.
  std::string gbk;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      if (GbkToUtf8(pair) != kFffd) gbk += pair;
    }
  }
  EXPECT_GT(gbk.size(), 2u * 21000u);
  EXPECT_EQ(Utf8ToGbk(GbkToUtf8(gbk)) == gbk, true);
}

TEST(Utf8ToGbk, ChineseAlbumName) {
  EXPECT_EQ(Utf8ToGbk(""), "");
  // 我的相册 / 中文 / 高清 in UTF-8 and in code page 936.
  EXPECT_EQ(Utf8ToGbk("\xE6\x88\x91\xE7\x9A\x84\xE7\x9B\xB8\xE5\x86\x8C"),
            "\xCE\xD2\xB5\xC4\xCF\xE0\xB2\xE1");
  EXPECT_EQ(Utf8ToGbk("a\xE4\xB8\xAD\xE6\x96\x87z"), "a\xD6\xD0\xCE\xC4z");
  EXPECT_EQ(GbkToUtf8("\xB8\xDF\xC7\xE5"), "\xE9\xAB\x98\xE6\xB8\x85");
}

TEST(Utf8ToGbk, UnmappableCharactersBecomeQuestionMarks) {
  // U+00A0, an emoji (4 bytes) and U+AC00 (Hangul) are not in 936; the rest comes through.
  EXPECT_EQ(Utf8ToGbk("a\xC2\xA0"
                      "b\xF0\x9F\x98\x80"
                      "c\xEA\xB0\x80\xE4\xB8\xAD"),
            "a?b?c?\xD6\xD0");
}

TEST(Utf8ToGbk, InvalidUtf8BecomesQuestionMarksAndTheRestSurvives) {
  struct Case {
    std::string_view in;
    std::string_view out;
  };
  // One "?" per maximal ill-formed subpart, as Windows and Python (errors="replace") decode.
  const Case cases[] = {
      {"a\xE4\xB8"
       "b",
       "a?b"},                  // truncated three-byte sequence
      {"a\xE4\xB8", "a?"},      // truncated at the end
      {"a\xF0\x9F\x98", "a?"},  // truncated four-byte sequence
      {"a\xC0\x80"
       "b",
       "a??b"},  // overlong NUL
      {"a\xE0\x80\xAF"
       "b",
       "a???b"},  // overlong "/"
      {"a\x80\xBF"
       "b",
       "a??b"},  // lone continuation bytes
      {"a\xED\xA0\x80"
       "b",
       "a???b"},                                    // high surrogate encoded in UTF-8
      {"\xED\xBF\xBF\xE4\xB8\xAD", "???\xD6\xD0"},  // low surrogate, then a good character
      {"\xF5\x80\x80\x80", "????"},                 // beyond U+10FFFF
      {"\xF4\x90\x80\x80", "????"},                 // U+110000
      {"\xFF\xFE", "??"},
      {"\xC3"
       "\xE4\xB8\xAD",
       "?\xD6\xD0"},  // a lead byte cut short by another lead byte
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hex(Utf8ToGbk(c.in)), Hex(c.out)) << Hex(c.in);
  }
}

TEST(Utf8ToGbk, EndsAtTheFirstNul) { EXPECT_EQ(Utf8ToGbk(std::string_view("ab\0cd", 5)), "ab"); }

TEST(GbkToUtf8, InvalidBytesBecomeReplacementCharacters) {
  EXPECT_EQ(GbkToUtf8("a\xFF"
                      "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(GbkToUtf8("a\xD6"), "a\xEF\xBF\xBD");  // lead byte at the end
  EXPECT_EQ(GbkToUtf8("\xD6"
                      "0\xD6\xD0"),
            "\xEF\xBF\xBD"
            "0\xE4\xB8\xAD");  // no trail byte: "0" survives
  EXPECT_EQ(GbkToUtf8(""), "");
}

TEST(Encoding, LargeTextsConvertInBulk) {
  // A few megabytes with an unmappable character every 1000 characters stays quick and exact.
  std::string utf8, gbk;
  for (int i = 0; i < 300000; ++i) {
    utf8 +=
        "\xE4\xB8\xAD"
        "a";
    gbk +=
        "\xD6\xD0"
        "a";
    if (i % 1000 == 0) {
      utf8 += "\xF0\x9F\x98\x80";
      gbk += "?";
    }
  }
  EXPECT_EQ(Utf8ToGbk(utf8) == gbk, true);
  EXPECT_EQ(GbkToUtf8(gbk).size(), utf8.size() - 300u * 4u + 300u);
}

TEST(Encoding, ThreadsConvertAtTheSameTime) {
  // Each thread has its own conversion state (iconv descriptors on Linux); run under TSan.
  std::vector<std::thread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        if (Utf8ToGbk("a\xE4\xB8\xAD\xF0\x9F\x98\x80") != "a\xD6\xD0?") ++wrong;
        if (GbkToUtf8("\xD6\xD0\xFF") != "\xE4\xB8\xAD\xEF\xBF\xBD") ++wrong;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace fotolun
