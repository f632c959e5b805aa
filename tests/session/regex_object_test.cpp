// RegexObject: the two credential patterns, the flags, GBK byte positions, replace,
// invalid patterns and indexes that do not exist.
#include "session/regex_object.h"

#include <gtest/gtest.h>

namespace fotolun {
namespace {

TEST(RegexObject, UinPatternTakesTheDigitsAfterTheZeros) {
  RegexObject regex;
  ASSERT_TRUE(regex.execute("o0*(\\d+)", "o0012345678"));
  EXPECT_EQ(regex.matchCount(), 1);
  EXPECT_EQ(regex.subMatchCount(), 1);
  EXPECT_EQ(regex.matchText(1), "o0012345678");
  EXPECT_EQ(regex.subMatchText(1, 1), "12345678");
}

TEST(RegexObject, SkeyPatternIsLazy) {
  RegexObject regex;
  ASSERT_TRUE(regex.execute("; skey=(.*?);", "uin=o1; skey=@abc; p_skey=x; skey=@zz; k=1"));
  EXPECT_EQ(regex.matchCount(), 2);
  EXPECT_EQ(regex.subMatchText(1, 1), "@abc");
  EXPECT_EQ(regex.subMatchText(2, 1), "@zz");
}

TEST(RegexObject, CaseInsensitiveByDefault) {
  RegexObject regex;
  regex.execute("o0*(\\d+)", "O0042");
  EXPECT_EQ(regex.subMatchText(1, 1), "42");
  regex.execute("abc", "xABCx");
  EXPECT_EQ(regex.matchText(1), "ABC");
  regex.execute("abc", "xABCx", true);
  EXPECT_EQ(regex.matchCount(), 0);
  // Letters beyond ASCII fold too: Greek capital sigma (GBK A6 B2) against small sigma (A6 D2).
  regex.execute("\xA6\xD2", "x\xA6\xB2");
  EXPECT_EQ(regex.matchCount(), 1);
}

TEST(RegexObject, DigitsAreAsciiOnly) {
  RegexObject regex;
  // Full-width digits (GBK A3 B1, A3 B2) are no \d, as in the VBScript engine.
  regex.execute("\\d+",
                "\xA3\xB1\xA3\xB2"
                "12");
  ASSERT_EQ(regex.matchCount(), 1);
  EXPECT_EQ(regex.matchText(1), "12");
}

TEST(RegexObject, GlobalGivesAllMatchesOtherwiseTheFirst) {
  RegexObject regex;
  regex.execute("\\d", "a1b2c3");
  EXPECT_EQ(regex.matchCount(), 3);
  EXPECT_EQ(regex.matchText(3), "3");
  regex.execute("\\d", "a1b2c3", false, true, false);
  EXPECT_EQ(regex.matchCount(), 1);
  EXPECT_EQ(regex.matchText(1), "1");
  EXPECT_EQ(regex.matchText(2), "");
}

TEST(RegexObject, MultiLineAnchorsAtLineBreaks) {
  RegexObject regex;
  regex.execute("^\\w+$", "one\r\ntwo\nthree");
  ASSERT_EQ(regex.matchCount(), 3);
  EXPECT_EQ(regex.matchText(2), "two");
  regex.execute("^\\w+$", "one\r\ntwo\nthree", false, false);
  EXPECT_EQ(regex.matchCount(), 0);
  regex.execute("^\\w+$", "one\n", false, false);  // without multi-line, $ is the very end only
  EXPECT_EQ(regex.matchCount(), 0);
  regex.execute("^\\w+$", "one", false, false);
  EXPECT_EQ(regex.matchCount(), 1);
}

TEST(RegexObject, QuoteMarkToken) {
  RegexObject regex;
  const Text pattern = ConcatText(kQuoteToken, "id", kQuoteToken, ":(\\d+)");
  const Text subject = "{\"id\":42}";
  regex.execute(pattern, subject);
  EXPECT_EQ(regex.matchCount(), 0);  // without the flag the token is taken literally
  ASSERT_TRUE(regex.execute(pattern, subject, false, true, true, true));
  EXPECT_EQ(regex.subMatchText(1, 1), "42");
  EXPECT_EQ(regex.pattern(), "\"id\":(\\d+)");
}

TEST(RegexObject, PositionsAreGbkByteOffsets) {
  RegexObject regex;
  // 我的相册 (8 bytes), then "o0012", then 中 and "o7".
  const Text subject = "\xCE\xD2\xB5\xC4\xCF\xE0\xB2\xE1o0012\xD6\xD0o7";
  regex.execute("o0*(\\d+)", subject);
  ASSERT_EQ(regex.matchCount(), 2);
  int position = -99;
  EXPECT_EQ(regex.matchText(1, &position), "o0012");
  EXPECT_EQ(position, 8);
  EXPECT_EQ(regex.subMatchText(1, 1, &position), "12");
  EXPECT_EQ(position, 11);
  EXPECT_EQ(regex.matchText(2, &position), "o7");
  EXPECT_EQ(position, 15);
  EXPECT_EQ(subject.substr(15, 2), "o7");
}

TEST(RegexObject, MatchesComeBackAsGbk) {
  RegexObject regex;
  regex.execute("\xCF\xE0(.)", "x\xCF\xE0\xB2\xE1y");  // 相(.) over x相册y
  ASSERT_EQ(regex.matchCount(), 1);
  EXPECT_EQ(regex.matchText(1), "\xCF\xE0\xB2\xE1");
  int position = 0;
  EXPECT_EQ(regex.subMatchText(1, 1, &position), "\xB2\xE1");  // one character, two bytes
  EXPECT_EQ(position, 3);
}

TEST(RegexObject, Replace) {
  RegexObject regex;
  regex.execute("(\\w)(\\d)", "a1 b2 \xD6\xD0");
  EXPECT_EQ(regex.replace("$2$1"), "1a 2b \xD6\xD0");
  EXPECT_EQ(regex.replace("[$&]"), "[a1] [b2] \xD6\xD0");
  EXPECT_EQ(regex.replace("$$"), "$ $ \xD6\xD0");
  EXPECT_EQ(regex.replace("$3"), "$3 $3 \xD6\xD0");  // no third group: taken literally
  EXPECT_EQ(regex.replace("\xCE\xC4"), "\xCE\xC4 \xCE\xC4 \xD6\xD0");
  regex.execute("(\\w)(\\d)", "a1 b2", false, true, false);
  EXPECT_EQ(regex.replace("-"), "- b2");
  regex.execute("x", "abc");
  EXPECT_EQ(regex.replace("-"), "abc");
}

TEST(RegexObject, EmptyMatchesMoveOn) {
  RegexObject regex;
  regex.execute("a*",
                "b\xD6\xD0"
                "aa");
  // "" before b, "" before 中, "aa", "" at the end: no endless loop, no split character.
  ASSERT_EQ(regex.matchCount(), 4);
  int position = 0;
  EXPECT_EQ(regex.matchText(3, &position), "aa");
  EXPECT_EQ(position, 3);
}

TEST(RegexObject, InvalidPatternGivesNothing) {
  RegexObject regex;
  EXPECT_FALSE(regex.execute("(unclosed", "unclosed"));
  EXPECT_EQ(regex.matchCount(), 0);
  EXPECT_EQ(regex.subMatchCount(), 0);
  EXPECT_EQ(regex.matchText(1), "");
  EXPECT_EQ(regex.subMatchText(1, 1), "");
  EXPECT_EQ(regex.replace("x"), "");
  EXPECT_EQ(regex.pattern(), "(unclosed");
  EXPECT_FALSE(regex.execute("a{2,1}", "aaa"));
  EXPECT_FALSE(regex.execute("\\", "a"));
}

TEST(RegexObject, WhatDoesNotExistReadsEmpty) {
  RegexObject fresh;
  EXPECT_EQ(fresh.pattern(), "");
  EXPECT_EQ(fresh.matchCount(), 0);
  EXPECT_EQ(fresh.subMatchCount(), 0);
  EXPECT_EQ(fresh.matchText(1), "");
  EXPECT_EQ(fresh.replace("x"), "");

  RegexObject regex;
  ASSERT_TRUE(regex.execute("o0*(\\d+)", "no digits here"));  // a collection, empty
  EXPECT_EQ(regex.matchCount(), 0);
  EXPECT_EQ(regex.subMatchText(1, 1), "");
  EXPECT_EQ(regex.subMatchCount(), 0);

  regex.execute("(a)|(b)", "b");
  int position = 7;
  EXPECT_EQ(regex.subMatchCount(), 2);
  EXPECT_EQ(regex.subMatchText(1, 1, &position), "");  // a group that did not take part
  EXPECT_EQ(position, -1);
  EXPECT_EQ(regex.subMatchText(1, 2), "b");
  EXPECT_EQ(regex.subMatchText(1, 3), "");
  EXPECT_EQ(regex.subMatchText(1, 0), "");
  EXPECT_EQ(regex.subMatchText(2, 1), "");
  EXPECT_EQ(regex.matchText(0), "");
  EXPECT_EQ(regex.matchText(-1), "");
  EXPECT_EQ(regex.matchText(2, &position), "");
  EXPECT_EQ(position, -1);
}

TEST(RegexObject, CopiesShareTheResults) {
  RegexObject regex;
  regex.execute("\\d", "1 2");
  RegexObject copy = regex;
  EXPECT_EQ(copy.matchCount(), 2);
  EXPECT_EQ(copy.matchText(2), "2");
  regex.execute("x", "y");  // a new run replaces the original's results, not the copy's
  EXPECT_EQ(regex.matchCount(), 0);
  EXPECT_EQ(copy.matchCount(), 2);
  RegexObject assigned;
  assigned = copy;
  EXPECT_EQ(assigned.matchText(1), "1");
}

TEST(RegexObject, SubjectWithInvalidGbkStillMatchesTheRest) {
  RegexObject regex;
  int position = 0;
  regex.execute("o(\\d+)", "\xFF\xD6;o12");  // a stray byte and a lead byte without trail
  EXPECT_EQ(regex.subMatchText(1, 1, &position), "12");
  EXPECT_EQ(position, 4);
}

TEST(RegexObject, LargeSubjectsStayLinear) {
  // A caseless global search over a large GBK reply: 100,000 matches among Chinese text.
  Text subject;
  for (int i = 0; i < 100000; ++i)
    subject +=
        "\xD6\xD0"
        "ab";
  RegexObject regex;
  ASSERT_TRUE(regex.execute("AB", subject));
  EXPECT_EQ(regex.matchCount(), 100000);
  int position = 0;
  EXPECT_EQ(regex.matchText(100000, &position), "ab");
  EXPECT_EQ(position, 4 * 99999 + 2);
}

}  // namespace
}  // namespace fotolun
