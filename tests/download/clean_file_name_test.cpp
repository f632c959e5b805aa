#include "names/clean_file_name.h"

#include <gtest/gtest.h>

#include "names/path_names.h"
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

// Old titles hold raw control characters, which json-c prints as \u escapes: neither leaves a trace.
TEST(CleanFileName, DropsControlCharactersRawAndEscaped) {
  const std::vector<std::pair<Text, Text>> cases = {
      {"a\\u0001b\\u001Fc\\u007fd", "abcd"},
      {std::string("a\x01"
                   "b\x1F\x7F",
                   5) +
           gbk("照") + "\t",
       "ab" + gbk("照")},
      {"keep \\u0020 and \\u0080", "keep u0020 and u0080"},  // not control characters
      {"\\\\u0001", "u0001"},                                // an escaped backslash, then text
      {gbk("乗") + "u0001", gbk("乗") + "u0001"},            // 81 5C is a character, no escape
  };
  for (const auto& [name, cleaned] : cases) EXPECT_EQ(cleanFileName(name), cleaned) << name;
  EXPECT_EQ(folderComponent("x\\u0002y\x03"), "xy");
}

}  // namespace
}  // namespace fotolun
