#include <gtest/gtest.h>

#include "albums/group_album_list.h"
#include "albums/json_reply.h"
#include "albums/list_progress.h"

namespace fotolun {
namespace {

TEST(GroupAlbumTotal, ReadsTheNumberBeforeTheClosingBrace) {
  EXPECT_EQ(groupAlbumTotal("_GroupAlbumList({\n\"code\" : 0,\n\"total\" : 2500\n}\n)"), 2500);
  // Blanks of both widths around the number do not count.
  EXPECT_EQ(groupAlbumTotal("{\"total\" : \xA1\xA1 17 \n}\n"), 17);
  EXPECT_EQ(groupAlbumTotal("{\"total\" : many\n}\n"), 0);
  EXPECT_EQ(groupAlbumTotal("{\"total\" : 3}"), 0);  // the number must end its own line
  EXPECT_EQ(groupAlbumTotal(""), 0);
  EXPECT_EQ(groupAlbumTotal("{\"total\" : 99999999999999\n}\n"), 2147483647);
}

TEST(ListProgress, PercentIsTruncatedAndNeverDividesByZero) {
  EXPECT_EQ(percentText(1, 3), "33%");
  EXPECT_EQ(percentText(29, 100), "29%");  // a double quotient would give 28
  EXPECT_EQ(percentText(2500, 2500), "100%");
  EXPECT_EQ(percentText(0, 0), "0%");
}

TEST(JsonReply, MembersReadAsJsonCPrintsThem) {
  const JsonDocument document = ParseJson(R"({"data":{"album":[{"name":"a/b\"c","total":12}], "n":5}})");
  json_object* albums = JsonMember(JsonMember(document.get(), "data"), "album");
  ASSERT_EQ(JsonArrayLength(albums), 1);
  json_object* album = JsonElement(albums, 0);
  EXPECT_EQ(JsonText(JsonMember(album, "name")), R"("a\/b\"c")");
  EXPECT_EQ(RemoveQuotes(JsonText(JsonMember(album, "name"))), R"(a\/b\c)");
  EXPECT_EQ(JsonText(JsonMember(album, "total")), "12");
  EXPECT_EQ(JsonText(JsonMember(album, "question")), "null");
  // Members of the wrong kind read as missing rather than tripping json-c's assertions.
  EXPECT_EQ(JsonArrayLength(JsonMember(JsonMember(document.get(), "data"), "n")), 0);
  EXPECT_EQ(JsonElement(albums, 1), nullptr);
  EXPECT_EQ(JsonArrayLength(JsonMember(ParseJson("not json").get(), "data")), 0);
}

}  // namespace
}  // namespace fotolun
