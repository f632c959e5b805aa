#include <gtest/gtest.h>

#include "service/route_lookup.h"

namespace fotolun {
namespace {

struct RouteCase {
  const char* what;
  const char* reply;
  const char* host;
};

// Records of other routes, their backups included, stand between the default record and its backup.
constexpr RouteCase kRouteCases[] = {
    {"the default's backup record, not the default record",
     R"({"code":0,"default":"xa","route":[{"r":"xa","p":"up.xa.example","w":1},{"r":"sz_bak","p":"sz.example"},)"
     R"({"r":"sz","p":"up.sz.example"},{"r":"xa_bak","p":"xalist.example"}]})",
     "xalist.example"},
    {"the first of several backup records",
     R"({"default":"gz","route":[{"r":"gz_bak","p":"first.example"},{"r":"gz_bak","p":"stale.example"}]})",
     "first.example"},
    {"no backup record of the default route", R"({"default":"gz","route":[{"r":"gz","p":"up.example"}]})",
     ""},
    {"backups of other routes only, without a default", R"({"route":[{"r":"sz_bak","p":"sz.example"}]})", ""},
    {"a backup record without a host", R"({"default":"gz","route":[{"r":"gz_bak","w":0}]})", ""},
    {"an empty reply", "", ""},
};

TEST(RouteReply, TakesTheHostOfTheDefaultRoutesFirstBackupRecord) {
  for (const RouteCase& c : kRouteCases) {
    EXPECT_EQ(albumHostFromRouteReply(c.reply), c.host) << c.what;
  }
}

}  // namespace
}  // namespace fotolun
