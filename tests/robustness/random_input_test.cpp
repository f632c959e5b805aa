// Random bytes through the parsers that take outside input (service replies, cookie texts and
// files, patterns), checked for the properties every caller relies on. Run under ASan+UBSan in CI,
// so an out-of-range read shows even where the result looks right.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "net/cookies.h"
#include "session/cookie_file.h"
#include "session/regex_object.h"
#include "session/session_credentials.h"
#include "text/encoding.h"
#include "text/gbk_text.h"

namespace fotolun {
namespace {

constexpr int kRounds = 4000;

class RandomInput : public ::testing::Test {
 protected:
  // Bytes biased towards what the parsers look for, so that their branches are reached.
  std::string bytes(std::size_t maxLength) {
    static constexpr std::string_view kPieces[] = {
        ";",  "=",  " ",   "\xA1\xA1", "\r\n",    "\t",           "#",
        "\"", "\\", "uin", "skey",     "deleted", "\xE4\xB8\xAD", "\xD6\xD0"};
    std::string out;
    const std::size_t length = std::uniform_int_distribution<std::size_t>(0, maxLength)(random_);
    while (out.size() < length) {
      if (std::uniform_int_distribution<int>(0, 3)(random_) == 0) {
        out += kPieces[std::uniform_int_distribution<std::size_t>(0, std::size(kPieces) - 1)(random_)];
      } else {
        out += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random_));
      }
    }
    return out;
  }

  // Text of whole GBK characters and printable ASCII, with the cookie texts' own pieces among them.
  std::string gbkText(std::size_t maxLength) {
    static constexpr std::string_view kPieces[] = {"; ",        "=",        "=deleted",
                                                   "uin=o0012", "skey=@ab", "\xA1\xA1"};
    std::string out;
    const std::size_t length = std::uniform_int_distribution<std::size_t>(0, maxLength)(random_);
    while (out.size() < length) {
      const int kind = std::uniform_int_distribution<int>(0, 5)(random_);
      if (kind == 0) {
        out += kPieces[std::uniform_int_distribution<std::size_t>(0, std::size(kPieces) - 1)(random_)];
      } else if (kind < 3) {
        out += static_cast<char>(std::uniform_int_distribution<int>(0x20, 0x7E)(random_));
      } else {
        out += static_cast<char>(std::uniform_int_distribution<int>(0x81, 0xFE)(random_));
        int trail = std::uniform_int_distribution<int>(0x40, 0xFE)(random_);
        if (trail == 0x7F) trail = 0x80;
        out += static_cast<char>(trail);
      }
    }
    return out;
  }

  std::mt19937 random_{20261209};
};

bool isValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

TEST_F(RandomInput, ConversionsGiveValidTextAndGbkSurvivesTheRoundTrip) {
  for (int round = 0; round < kRounds; ++round) {
    const std::string raw = bytes(64);
    const Text gbk = Utf8ToGbk(raw);
    EXPECT_EQ(gbk.find('\0'), std::string::npos);
    EXPECT_TRUE(isValidUtf8(GbkToUtf8(raw)));

    const std::string text = gbkText(40);
    const std::string utf8 = GbkToUtf8(text);
    ASSERT_TRUE(isValidUtf8(utf8));
    // Pairs that code page 936 leaves undefined come back as U+FFFD; every other character returns.
    if (utf8.find("\xEF\xBF\xBD") == std::string::npos) {
      EXPECT_EQ(Utf8ToGbk(utf8), text);
    }
  }
}

TEST_F(RandomInput, SearchesStayInsideTheTextAndFindWhatTheySay) {
  for (int round = 0; round < kRounds; ++round) {
    // Texts end at their first NUL byte; the search is checked on texts without one.
    std::string text = bytes(48), needle = bytes(3);
    std::erase(text, '\0');
    std::erase(needle, '\0');
    const int at = FindText(text, needle, 1 + static_cast<int>(round % 5), round % 2 == 0);
    if (at != -1) {
      ASSERT_GE(at, 1);
      ASSERT_LE(static_cast<std::size_t>(at - 1) + needle.size(), text.size());
      if (round % 2 != 0) {
        EXPECT_EQ(text.compare(static_cast<std::size_t>(at - 1), needle.size(), needle), 0);
      }
    }
    const Text between = TextBetween(text, bytes(2), bytes(2));
    EXPECT_LE(between.size(), text.size());
    SplitText(text, bytes(2));
    // In well-formed text a separator or a space is always a character of its own (raw bytes may
    // hold a lead byte that takes the next byte, ";" or " " included, with it).
    const std::string wellFormed = gbkText(48);
    for (const Text& piece : SplitText(wellFormed, ";")) EXPECT_EQ(piece.find(';'), std::string::npos);
    EXPECT_EQ(RemoveSpaces(TrimSpaces(wellFormed)).find(' '), std::string::npos);
  }
}

TEST_F(RandomInput, MergedCookieStringsHaveNoSpacesNoDeletedItemsAndAreStable) {
  for (int round = 0; round < kRounds; ++round) {
    // Raw bytes must merely come through; on well-formed text the merge's promises are checked.
    Text rawStored = bytes(60), rawIncoming = bytes(40);
    MergeCookies(rawStored, rawIncoming);
    Text stored = gbkText(60), incoming = gbkText(40);
    const Text merged = MergeCookies(stored, incoming);
    EXPECT_EQ(merged, stored);
    // The only spaces left are those of the "; " between items.
    for (std::size_t i = merged.find(' '); i != std::string::npos; i = merged.find(' ', i + 1)) {
      ASSERT_TRUE(i > 0 && merged[i - 1] == ';') << merged;
    }
    for (const Text& item : SplitText(merged, "; ")) EXPECT_FALSE(item.ends_with("=deleted")) << merged;
    // Incoming items of one name all stay, so a second merge may drop some; after it, merging
    // again changes nothing.
    Text once = merged, nothing;
    MergeCookies(once, nothing);
    Text twice = once;
    EXPECT_EQ(MergeCookies(twice, nothing), once);

    const SessionCredentials credentials = CredentialsFromCookieText(bytes(60));
    EXPECT_EQ(credentials.uin.find_first_not_of("0123456789"), std::string::npos);
    EXPECT_FALSE(credentials.gTk.empty());
    EXPECT_EQ(credentials.gTk.find_first_not_of("0123456789"), std::string::npos);
  }
}

TEST_F(RandomInput, CookieFilesEitherGiveCookiesOrSayWhy) {
  for (int round = 0; round < kRounds; ++round) {
    const CookieFileResult result = readCookieFileText(bytes(120));
    EXPECT_NE(result.cookieText.empty(), result.error.empty());
  }
}

TEST_F(RandomInput, PatternsNeverBreakTheRegexObject) {
  RegexObject regex;
  for (int round = 0; round < kRounds / 4; ++round) {
    const Text subject = bytes(40);
    regex.execute(bytes(8), subject, round % 2 == 0, round % 3 == 0, round % 5 != 0, round % 7 == 0);
    for (int m = 0; m <= regex.matchCount() + 1; ++m) {
      int position = 0;
      const Text match = regex.matchText(m, &position);
      if (!match.empty()) {
        ASSERT_GE(position, 0);
        EXPECT_LE(static_cast<std::size_t>(position) + match.size(), subject.size());
      }
      regex.subMatchText(m, 1);
    }
    regex.replace(bytes(4));
  }
}

}  // namespace
}  // namespace fotolun
