// Edge behaviour of the GBK text operations: 1-based positions, -1 for nothing found,
// double-byte stepping, full-width spaces and the piece rules of SplitText.
#include "text/gbk_text.h"

#include <gtest/gtest.h>

#include <cctype>

namespace fotolun {
namespace {

// GBK bytes used below. 中 D6 D0, 文 CE C4, 相册 CF E0 B2 E1. B0 41 and B0 61 are two-byte
// characters whose trail byte is an ASCII letter ("A" / "a"); A1 A1 is the full-width space.
constexpr const char* kZhong = "\xD6\xD0";
constexpr const char* kTrailA = "\xB0\x41";
constexpr const char* kTrailLowerA = "\xB0\x61";
constexpr const char* kFullSpace = "\xA1\xA1";

TEST(CompareText, IsBytewiseUnsignedAndCaseSensitive) {
  EXPECT_EQ(CompareText("abc", "abc"), 0);
  EXPECT_LT(CompareText("abc", "abd"), 0);
  EXPECT_GT(CompareText("b", "a"), 0);
  EXPECT_LT(CompareText("A", "a"), 0);
  EXPECT_GT(CompareText("\x80", "\x7F"), 0);  // unsigned: 0x80 above every ASCII byte
  EXPECT_LT(CompareText("", "a"), 0);
  EXPECT_EQ(CompareText("", ""), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
}

TEST(TextLength, CountsBytes) {
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength("abc"), 3);
  EXPECT_EQ(TextLength(ConcatText(kZhong, "a")), 3);
}

TEST(ConcatText, JoinsAnyNumberOfTexts) {
  EXPECT_EQ(ConcatText(Text("a"), "", std::string_view("bc"), Text()), "abc");
}

TEST(FindText, PositionsAreOneBasedAndMissesAreMinusOne) {
  EXPECT_EQ(FindText("abcabc", "c"), 3);
  EXPECT_EQ(FindText("abcabc", "c", 4), 6);
  EXPECT_EQ(FindText("abcabc", "c", 3), 3);
  EXPECT_EQ(FindText("abcabc", "x"), -1);
  EXPECT_EQ(FindText("abc", "c", 4), -1);
  EXPECT_EQ(FindText("abc", "abcd"), -1);
  EXPECT_EQ(FindText("", "a"), -1);
}

TEST(FindText, EmptyNeedle) {
  EXPECT_EQ(FindText("", ""), -1);
  EXPECT_EQ(FindText("abc", ""), 1);
}

TEST(FindText, PositionsCountBytesOfDoubleByteCharacters) {
  const Text text = ConcatText(kZhong, kZhong, "x");
  EXPECT_EQ(FindText(text, "x"), 5);
  EXPECT_EQ(FindText(text, kZhong, 2), 3);
}

TEST(FindText, NeverMatchesOnATrailByte) {
  // "A" only occurs as the trail byte of B0 41: not a match.
  EXPECT_EQ(FindText(kTrailA, "A"), -1);
  EXPECT_EQ(FindText(ConcatText(kTrailA, "A"), "A"), 3);
  // D6 D0 D6 D0: the bytes D0 D6 in the middle straddle two characters.
  EXPECT_EQ(FindText(ConcatText(kZhong, kZhong), "\xD0\xD6"), -1);
  EXPECT_EQ(FindTextFromEnd(ConcatText("A", kTrailA), "A"), 1);
}

TEST(FindText, IgnoreCaseFoldsAsciiLettersOnly) {
  EXPECT_EQ(FindText("xAbC", "abc", 1, true), 2);
  EXPECT_EQ(FindText("xAbC", "abc", 1, false), -1);
  // Trail bytes keep their case: B0 61 is another character than B0 41.
  EXPECT_EQ(FindText(kTrailLowerA, kTrailA, 1, true), -1);
  EXPECT_EQ(FindText(ConcatText("Q", kTrailA), ConcatText("q", kTrailA), 1, true), 1);
  EXPECT_EQ(FindText(kTrailA, "a", 1, true), -1);
}

TEST(FindTextFromEnd, GivesTheLastOccurrence) {
  EXPECT_EQ(FindTextFromEnd("a;b;c", ";"), 4);
  EXPECT_EQ(FindTextFromEnd("abc", "x"), -1);
  EXPECT_EQ(FindTextFromEnd("", "x"), -1);
  EXPECT_EQ(FindTextFromEnd("aaa", "aa"), 2);
}

TEST(TrimSpaces, RemovesAsciiAndFullWidthSpacesAtBothEnds) {
  EXPECT_EQ(TrimSpaces("  ab c  "), "ab c");
  EXPECT_EQ(TrimSpaces(ConcatText(kFullSpace, " ab", kFullSpace)), "ab");
  EXPECT_EQ(TrimSpaces("\tab"), "\tab");  // a tab is not a space
  EXPECT_EQ(TrimSpaces(ConcatText(kFullSpace, "\tab")), "\tab");
  EXPECT_EQ(TrimSpaces("ab\r\n "), "ab\r\n");
  EXPECT_EQ(TrimSpaces(ConcatText(" ", kFullSpace, " ")), "");
  EXPECT_EQ(TrimSpaces(""), "");
}

TEST(TrimSpaces, StepsByCharacters) {
  // B0 A1 then A1 A1: the final A1 A1 is a full-width space and goes.
  EXPECT_EQ(TrimSpaces("x\xB0\xA1\xA1\xA1"), "x\xB0\xA1");
  // B0 A1, A1 B0: the A1 A1 in the middle is a trail byte and a lead byte, not a space.
  EXPECT_EQ(TrimSpaces("\xB0\xA1\xA1\xB0"), "\xB0\xA1\xA1\xB0");
  // x, B0 A1, and a lone A1 at the end: no space there.
  EXPECT_EQ(TrimSpaces("x\xB0\xA1\xA1"), "x\xB0\xA1\xA1");
  // A trail byte 0x20 is not an ASCII space: B0 20 ends the text.
  EXPECT_EQ(TrimSpaces("a\xB0\x20"), "a\xB0\x20");
}

TEST(RemoveSpaces, RemovesEverySpaceWhereverItStands) {
  EXPECT_EQ(RemoveSpaces(" a b "), "ab");
  EXPECT_EQ(RemoveSpaces(ConcatText("a", kFullSpace, "b", kFullSpace)), "ab");
  EXPECT_EQ(RemoveSpaces("a\tb\r\n"), "a\tb\r\n");
  EXPECT_EQ(RemoveSpaces("\xB0\xA1\xA1\xB0 "), "\xB0\xA1\xA1\xB0");
  EXPECT_EQ(RemoveSpaces(""), "");
}

TEST(SplitText, PieceRules) {
  using Pieces = std::vector<Text>;
  EXPECT_EQ(SplitText("a;;b;", ";"), (Pieces{"a", "", "b"}));
  EXPECT_EQ(SplitText("a;b", ";"), (Pieces{"a", "b"}));
  EXPECT_EQ(SplitText("", ";"), Pieces{});
  EXPECT_EQ(SplitText(";", ";"), Pieces{""});
  EXPECT_EQ(SplitText(";a", ";"), (Pieces{"", "a"}));
  EXPECT_EQ(SplitText("abc", ";"), Pieces{"abc"});
  EXPECT_EQ(SplitText("a; b; c", "; "), (Pieces{"a", "b", "c"}));
}

TEST(SplitText, SeparatorsNeverStartOnATrailByte) {
  using Pieces = std::vector<Text>;
  // B0 41 holds "A" as its trail byte.
  EXPECT_EQ(SplitText(ConcatText("x", kTrailA, "yAz"), "A"), (Pieces{ConcatText("x", kTrailA, "y"), "z"}));
}

TEST(ReplaceText, ReplacesLeftToRightWithoutOverlap) {
  EXPECT_EQ(ReplaceText("aaaa", "aa", "b"), "bb");
  EXPECT_EQ(ReplaceText("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceText("a-b-c", "-", "--"), "a--b--c");
  EXPECT_EQ(ReplaceText("AbcABC", "abc", "x", false), "xx");
  EXPECT_EQ(ReplaceText("AbcABC", "abc", "x", true), "AbcABC");
  EXPECT_EQ(ReplaceText("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceText(ConcatText(kTrailA, "A"), "A", "!"), ConcatText(kTrailA, "!"));
}

// The searches skip ahead with a byte search and confirm candidates by walking character starts;
// a plain walk that tries every character start must agree with them on any bytes at all.
namespace walk {
size_t CharLength(std::string_view t, size_t i) {
  return static_cast<unsigned char>(t[i]) >= 0x80 && i + 1 < t.size() ? 2 : 1;
}
bool At(std::string_view t, size_t i, std::string_view n, bool fold) {
  if (t.size() - i < n.size()) return false;
  for (size_t k = 0; k < n.size();) {
    const auto a = static_cast<unsigned char>(n[k]), b = static_cast<unsigned char>(t[i + k]);
    if (a >= 0x80 && k + 1 < n.size()) {
      if (a != b || n[k + 1] != t[i + k + 1]) return false;
      k += 2;
    } else {
      if ((fold ? std::tolower(a) : a) != (fold ? std::tolower(b) : b)) return false;
      k += 1;
    }
  }
  return true;
}
}  // namespace walk

TEST(GbkSearches, AgreeWithAWalkOverEveryCharacterStart) {
  const std::string alphabet = "aA;= \r\n\xB0\x41\x61\xA1";
  unsigned seed = 7;
  const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
  const auto bytes = [&](size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += alphabet[next() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 4000; ++round) {
    const std::string text = bytes(next() % 24), needle = bytes(1 + next() % 3);
    const bool fold = round % 2 == 1;
    const int start = 1 + static_cast<int>(next() % 6);
    std::vector<size_t> starts;  // every character start where the needle stands
    for (size_t i = 0; i < text.size(); i += walk::CharLength(text, i))
      if (walk::At(text, i, needle, fold)) starts.push_back(i);
    int first = -1;
    for (const size_t i : starts) {
      if (static_cast<int>(i) >= start - 1) {
        first = static_cast<int>(i) + 1;
        break;
      }
    }
    if (text.empty()) first = -1;
    SCOPED_TRACE(::testing::PrintToString(text) + " / " + ::testing::PrintToString(needle));
    EXPECT_EQ(FindText(text, needle, start, fold), first);
    if (!fold) {
      EXPECT_EQ(FindTextFromEnd(text, needle), starts.empty() ? -1 : static_cast<int>(starts.back()) + 1);
    }

    // Split and replace resume after each match, so they take the matches that do not overlap.
    std::vector<Text> pieces;
    Text replaced;
    size_t done = 0;
    for (size_t i = 0; i < text.size();) {
      if (walk::At(text, i, needle, fold)) {
        pieces.push_back(text.substr(done, i - done));
        replaced += text.substr(done, i - done) + "<>";
        done = i += needle.size();
      } else {
        i += walk::CharLength(text, i);
      }
    }
    if (done < text.size()) pieces.push_back(text.substr(done));
    replaced += text.substr(std::min(done, text.size()));
    EXPECT_EQ(ReplaceText(text, needle, "<>", !fold), replaced);
    Text kept;
    size_t begin = text.size(), end = 0;
    for (size_t i = 0; i < text.size(); i += walk::CharLength(text, i)) {
      const std::string_view character = std::string_view(text).substr(i, walk::CharLength(text, i));
      if (character == " " || character == kFullSpace) continue;
      kept += character;
      begin = std::min(begin, i);
      end = i + character.size();
    }
    EXPECT_EQ(RemoveSpaces(text), kept);
    EXPECT_EQ(TrimSpaces(text), begin < end ? text.substr(begin, end - begin) : "");
    if (!fold) {
      EXPECT_EQ(SplitText(text, needle), pieces);
    }
  }
}

TEST(TextBetween, TakesTheTextBetweenTheMarkers) {
  EXPECT_EQ(TextBetween("k=v; uin=o123; x=1", "uin=", ";"), "o123");
  EXPECT_EQ(TextBetween("[a][b]", "[", "]", 3), "b");
  EXPECT_EQ(TextBetween("<>", "<", ">"), "");  // right follows left directly
  EXPECT_EQ(TextBetween("NAME=x;", "name=", ";", 1, true), "x");
  EXPECT_EQ(TextBetween("NAME=x;", "name=", ";"), "");
}

TEST(TextBetween, QuoteTokenStandsForADoubleQuote) {
  const Text text = "{\"name\":\"album\",\"id\":\"42\"}";
  const Text left = ConcatText(kQuoteToken, "id", kQuoteToken, ":", kQuoteToken);
  EXPECT_EQ(TextBetween(text, left, kQuoteToken), "42");
  // The token as written in a UTF-8 source file works as well.
  const Text leftUtf8 = ConcatText(kQuoteTokenUtf8, "name", kQuoteTokenUtf8, ":", kQuoteTokenUtf8);
  EXPECT_EQ(TextBetween(text, leftUtf8, kQuoteTokenUtf8), "album");
}

TEST(TextBetween, EmptyWhenAMarkerIsMissing) {
  EXPECT_EQ(TextBetween("a=1", "a=", ";"), "");  // right missing although left was found
  EXPECT_EQ(TextBetween("x;", "a=", ";"), "");
  EXPECT_EQ(TextBetween("xyz a=", "a=", ";"), "");  // left at the very end
  EXPECT_EQ(TextBetween("", "a", "b"), "");
}

TEST(TextBetween, WorksOverDoubleByteText) {
  const Text text = ConcatText(kZhong, "[", kZhong, kTrailA, "]");
  EXPECT_EQ(TextBetween(text, "[", "]"), ConcatText(kZhong, kTrailA));
  EXPECT_EQ(TextBetween(ConcatText(kTrailA, "Axy"), "A", "y"), "x");
}

TEST(BufferToText, EndsAtTheFirstNul) {
  EXPECT_EQ(BufferToText(std::string_view("ab\0cd", 5)), "ab");
  EXPECT_EQ(BufferToText(""), "");
  EXPECT_EQ(BufferToText("abc"), "abc");
}

}  // namespace
}  // namespace fotolun
