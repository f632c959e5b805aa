// The route reply read the way the program reads it, and who the listing endpoints answer.
#include <gtest/gtest.h>

#include "net/url_parts.h"
#include "standin/replies.h"
#include "standin/sign_in_cookies.h"
#include "standin_requests.h"
#include "text/encoding.h"

namespace fotolun::standin {
namespace {

std::string RouteUrl(const std::string& qq) {
  return "http://route.store.qq.com/GetRoute?UIN=" + qq + "&type=json&version=2&json_esc=1";
}

// One record per line, the default route's name, the first line naming its backup, that line's host.
std::string HostByRouteAlgorithm(const std::string& reply) {
  const Text records = ReplaceText(reply, "{\"r\":", "\r\n");
  const Text name = TextBetween(records, "default\":\"", "\"");
  const Text line = LineAt(records, FindLineContaining(records, name + "_bak", true));
  return TextBetween(line, "p\":\"", "\"");
}

TEST(RouteReply, TextAlgorithmFindsTheHostThatListsTheAlbums) {
  const DirectService service;
  const std::string cookies =
      DocumentCookieText(SignInCookies(1, service.data.ordinaryAccount().qq, CookieLayout::Inside));
  for (const std::string& qq : {service.data.ordinaryAccount().qq, service.data.privateAccount().qq,
                                service.data.accountWithoutAlbums().qq, std::string("10001")}) {
    const std::string host = HostByRouteAlgorithm(service.get(RouteUrl(qq)).body);
    ASSERT_EQ(host, service.data.routeFor(qq).albumHost) << qq;
    const std::string list = "http://" + host + "/fcgi-bin/fcg_list_album_v2?hostUin=" + qq +
                             "&format=json&plat=qzone&source=qzone&t=&g_tk=" + GtkOf(cookies);
    EXPECT_EQ(service.get(list, cookies).status, 200) << qq;
  }
}

TEST(RouteReply, EveryOtherRecordNamesAHostThatDoesNotListTheNumber) {
  const DirectService service;
  const PersonalAccount& account = service.data.ordinaryAccount();
  const std::string cookies = DocumentCookieText(SignInCookies(1, account.qq, CookieLayout::Inside));
  const std::string reply = service.get(RouteUrl(account.qq)).body;
  const std::string own = service.data.routeFor(account.qq).albumHost;
  int decoys = 0;
  for (const Text& record : SplitText(ReplaceText(reply, "{\"r\":", "\r\n"), "\r\n")) {
    const std::string host = TextBetween(record, "p\":\"", "\"");
    if (host.empty() || host == own) continue;
    ++decoys;
    const std::string list = "http://" + host + "/fcgi-bin/fcg_list_album_v2?hostUin=" + account.qq +
                             "&format=json&plat=qzone&source=qzone&t=&g_tk=" + GtkOf(cookies);
    EXPECT_EQ(service.get(list, cookies).status, 404) << host;
  }
  EXPECT_GE(decoys, 3);
  // A stale copy of the backup record comes after the right one, so "the first" matters.
  EXPECT_EQ(SplitText(reply, account.route + "_bak").size(), 3u);
}

TEST(SignInCookies, LayoutsPutUinAndSkeyWhereTheMarkersOfTheSignInTextMissThem) {
  const std::string qq = "12345678";
  for (const CookieLayout layout : {CookieLayout::Inside, CookieLayout::UinFirst, CookieLayout::UinLast,
                                    CookieLayout::SkeyFirst, CookieLayout::SkeyLast}) {
    const std::string text = DocumentCookieText(SignInCookies(1, qq, layout));
    const bool uinFindable = !TextBetween(text, " uin=", ";").empty();
    const bool skeyFindable = !TextBetween(text, "; skey=", ";").empty();
    EXPECT_EQ(uinFindable, layout != CookieLayout::UinFirst && layout != CookieLayout::UinLast)
        << CookieLayoutName(layout);
    EXPECT_EQ(skeyFindable, layout != CookieLayout::SkeyFirst && layout != CookieLayout::SkeyLast)
        << CookieLayoutName(layout);
    EXPECT_NE(text.find("uin=o0012345678"), std::string::npos);
    EXPECT_NE(text.find("p_skey="), std::string::npos);
    EXPECT_EQ(CookieLayoutNamed(CookieLayoutName(layout)), layout);
  }
  // Numbers of ten digits or more carry no padding.
  EXPECT_EQ(UinCookieValue("1234567890"), "o1234567890");
}

class SessionCheck : public ::testing::Test {
 protected:
  DirectService service;
  const PersonalAccount& ordinary = service.data.ordinaryAccount();
  const PersonalAccount& hidden = service.data.privateAccount();

  std::string cookiesOf(const std::string& qq, CookieLayout layout = CookieLayout::Inside) const {
    return DocumentCookieText(SignInCookies(service.data.seed(), qq, layout));
  }
  std::string albumList(const std::string& owner, const std::string& cookies, const std::string& gtk) const {
    return service.get(AlbumListUrl(service.data, owner, gtk), cookies).body;
  }
};

TEST_F(SessionCheck, EveryListingRefusesARequestWithoutAMatchingSkeyAndGtk) {
  const std::string good = cookiesOf(ordinary.qq);
  const std::string gtk = GtkOf(good);
  const std::string otherSkey =
      ReplaceText(good, "skey=" + SkeyFor(1, ordinary.qq), "skey=" + SkeyFor(1, "5"));
  const std::string noSkey = ReplaceText(good, "; skey=" + SkeyFor(1, ordinary.qq), "");
  const std::string album = ordinary.albums[0].id;
  const std::string group = service.data.smallGroup().number;
  const std::string groupAlbum = service.data.smallGroup().albums[0].id;
  struct Attempt {
    std::string cookies, gtk;
  };
  for (const Attempt& attempt : {Attempt{"", "5381"}, Attempt{good, "1" + gtk}, Attempt{good, ""},
                                 Attempt{otherSkey, GtkOf(otherSkey)}, Attempt{noSkey, GtkOf(noSkey)}}) {
    EXPECT_NE(albumList(ordinary.qq, attempt.cookies, attempt.gtk).find(Utf8ToGbk(kNotSignedInMessage)),
              std::string::npos);
    for (const std::string& url :
         {PhotoPageUrl(ordinary.qq, album, 0, attempt.gtk),
          FullSizeUrl(service.data, ordinary.qq, album, attempt.gtk), GroupTotalUrl(group, attempt.gtk),
          GroupAlbumPageUrl(group, 0, attempt.gtk), GroupPhotoPageUrl(group, groupAlbum, 0, attempt.gtk)}) {
      EXPECT_NE(service.get(url, attempt.cookies).body.find(kNotSignedInMessage), std::string::npos) << url;
    }
  }
  EXPECT_EQ(albumList(ordinary.qq, good, gtk).find(Utf8ToGbk(kNotSignedInMessage)), std::string::npos);
}

// The demo's sign-in page offers every sample account to sign in as and every sample group to list.
TEST_F(SessionCheck, TheSignInPageListsTheSampleAccountsAndGroups) {
  const std::string page = service.get("http://user.qzone.qq.com/").body;
  for (const PersonalAccount& account : service.data.accounts())
    EXPECT_NE(page.find("href=\"/?login=" + account.qq + "\""), std::string::npos) << account.qq;
  for (const Group& group : service.data.groups())
    EXPECT_NE(page.find("<li>" + group.number + "（"), std::string::npos) << group.number;
}

TEST_F(SessionCheck, SkeyCountsWhereverTheCookieStands) {
  for (const CookieLayout layout :
       {CookieLayout::SkeyFirst, CookieLayout::SkeyLast, CookieLayout::UinFirst}) {
    const std::string cookies = cookiesOf(ordinary.qq, layout);
    const JsonPtr reply = ParseJson(albumList(ordinary.qq, cookies, GtkOf(cookies)));
    ASSERT_NE(DataArray(reply, "album"), nullptr) << CookieLayoutName(layout);
  }
}

TEST_F(SessionCheck, PrivateAlbumsAreListedToTheirOwnerOnly) {
  const std::string stranger = cookiesOf(ordinary.qq);
  EXPECT_NE(albumList(hidden.qq, stranger, GtkOf(stranger)).find(Utf8ToGbk(kNoPermissionMessage)),
            std::string::npos);
  EXPECT_NE(service.get(PhotoPageUrl(hidden.qq, hidden.albums[0].id, 0, GtkOf(stranger)), stranger)
                .body.find(kNoPermissionMessage),
            std::string::npos);

  const std::string owner = cookiesOf(hidden.qq);
  const JsonPtr reply = ParseJson(albumList(hidden.qq, owner, GtkOf(owner)));
  ASSERT_NE(DataArray(reply, "album"), nullptr);
  EXPECT_EQ(json_object_array_length(DataArray(reply, "album")), hidden.albums.size());
}

}  // namespace
}  // namespace fotolun::standin
