#include "names/clean_file_name.h"

#include <gtest/gtest.h>

#include "support/scripted_form.h"

namespace fotolun {
namespace {

using testing::gbk;

TEST(CleanFileName, RemovesEveryListedCharacterAndKeepsTheRest) {
  EXPECT_EQ(cleanFileName(gbk("我的（新）照片")), gbk("我的新照片"));
  EXPECT_EQ(cleanFileName(gbk("a:b\\c/d?e*f<g>h|i：j？k。l·m！n，o.p")), gbk("abcdefghijklmnop"));
  EXPECT_EQ(cleanFileName(gbk("：？。")), "");
}

TEST(CleanFileName, NeverMatchesATrailByte) {
  // 乗 is 81 5C and 晐 is 95 7C: trail bytes "\" and "|" that belong to their characters.
  const Text name = gbk("乗晐") + "|";
  ASSERT_EQ(name, "\x81\x5C\x95\x7C|");
  EXPECT_EQ(cleanFileName(name), gbk("乗晐"));
}

}  // namespace
}  // namespace fotolun
