#include "text/random_text.h"

#include <gtest/gtest.h>

#include <set>

namespace fotolun {
namespace {

TEST(RandomInRange, StaysInRange) {
  EXPECT_EQ(RandomInRange(5, 4), 0);
  EXPECT_EQ(RandomInRange(3, 3), 3);
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) {
    const int v = RandomInRange(-2, 2);
    ASSERT_GE(v, -2);
    ASSERT_LE(v, 2);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 5u);
}

TEST(RandomLetters, Modes) {
  EXPECT_EQ(RandomLetters(0), "");
  EXPECT_EQ(RandomLetters(-3, 1), "");
  const Text lower = RandomLetters(200, 0);
  const Text upper = RandomLetters(200, 1);
  const Text mixed = RandomLetters(200, 7);
  ASSERT_EQ(lower.size(), 200u);
  ASSERT_EQ(upper.size(), 200u);
  ASSERT_EQ(mixed.size(), 200u);
  for (char c : lower) EXPECT_TRUE(c >= 'a' && c <= 'z');
  for (char c : upper) EXPECT_TRUE(c >= 'A' && c <= 'Z');
  bool anyLower = false, anyUpper = false;
  for (char c : mixed) {
    EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
    anyLower |= c >= 'a' && c <= 'z';
    anyUpper |= c >= 'A' && c <= 'Z';
  }
  EXPECT_TRUE(anyLower && anyUpper);
}

}  // namespace
}  // namespace fotolun
