// MergeCookies: the merge rules as a table, plus what happens to both arguments.
#include "net/cookies.h"

#include <gtest/gtest.h>

namespace fotolun {
namespace {

struct MergeCase {
  const char* stored;
  const char* incoming;
  const char* merged;
};

class MergeCookiesTable : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MergeCookiesTable, GivesTheMergedText) {
  Text stored = GetParam().stored;
  Text incoming = GetParam().incoming;
  const Text result = MergeCookies(stored, incoming);
  EXPECT_EQ(result, GetParam().merged);
  EXPECT_EQ(stored, GetParam().merged);
}

INSTANTIATE_TEST_SUITE_P(
    PartExamples, MergeCookiesTable,
    ::testing::Values(MergeCase{"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1"},  // incoming first, then the rest
                      MergeCase{"a=1; b=2", "b=deleted", "a=1"},           // a deleted cookie goes
                      MergeCase{"a=1", "", "a=1"},
                      MergeCase{"a=1;b=2", "", "a=1; b=2"},   // stored form: "; " between items
                      MergeCase{"a=1; a=2", "", "a=1"},       // first stored item of a name wins
                      MergeCase{"", "a=1; a=1", "a=1"},       // identical items collapse
                      MergeCase{"", "a=1; a=2", "a=1; a=2"},  // incoming not collapsed by name
                      MergeCase{"A=1", "a=2", "a=2; A=1"},    // names are case-sensitive
                      MergeCase{"x=a b", "", "x=ab"},         // spaces go, inside values too
                      MergeCase{"", "", ""}, MergeCase{"a=1; b=2; c=3", "b=4; a=deleted", "b=4; c=3"},
                      MergeCase{"a=1; flag", "flag", "flag; a=1"},     // an item without "=" is all name
                      MergeCase{"a=1; x=\xA1\xA1y", "", "a=1; x=y"},   // full-width space removed
                      MergeCase{"a=1\t; b=2", "", "a=1\t; b=2"},       // other white space stays
                      MergeCase{"s=deleted", "", ""},                  // a deleted stored cookie goes too
                      MergeCase{"a=1; b=2", "c=3;", "c=3; a=1; b=2"},  // nothing after a final ";"
                      MergeCase{"a=1", " a = 9 ", "a=9"}));            // incoming wins over its name

TEST(MergeCookies, RewritesBothArguments) {
  Text stored = "a=1; b=2";
  Text incoming =
      " b=3;  c=\xA1\xA1"
      "4 ";
  const Text result = MergeCookies(stored, incoming);
  EXPECT_EQ(incoming, "b=3;c=4");  // its own text, spaces removed
  EXPECT_EQ(stored, "b=3; c=4; a=1");
  EXPECT_EQ(result, stored);
}

TEST(MergeCookies, DeletionNeedsTheExactValue) {
  Text stored = "a=1";
  Text incoming = "b=deletedx; c=notdeleted; d=deleted";
  EXPECT_EQ(MergeCookies(stored, incoming), "b=deletedx; c=notdeleted; a=1");
}

}  // namespace
}  // namespace fotolun
