// The album and photo listings: encodings, members, and where their pages end.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "standin/session_check.h"
#include "standin/sign_in_cookies.h"
#include "standin_requests.h"
#include "text/encoding.h"

namespace fotolun::standin {
namespace {

class Listings : public ::testing::Test {
 protected:
  DirectService service;
  const PersonalAccount& ordinary = service.data.ordinaryAccount();
  const std::string cookies = DocumentCookieText(SignInCookies(1, ordinary.qq, CookieLayout::Inside));
  const std::string gtk = GtkOf(cookies);

  std::size_t indexOf(const std::string& name) const {
    for (std::size_t i = 0; i < ordinary.albums.size(); ++i) {
      if (ordinary.albums[i].name == name) return i;
    }
    throw std::runtime_error("no album " + name);
  }
  const PersonalAlbum& albumNamed(const std::string& name) const { return ordinary.albums[indexOf(name)]; }
  JsonPtr get(const std::string& url, const std::string& cookieText) const {
    return ParseJson(service.get(url, cookieText).body);
  }
  JsonPtr get(const std::string& url) const { return get(url, cookies); }
  static std::size_t length(json_object* array) {
    return array == nullptr ? 0 : json_object_array_length(array);
  }
};

TEST_F(Listings, PersonalAlbumListIsGbkThatJsonCReadsAsTheProgramDoes) {
  const std::string body = service.get(AlbumListUrl(service.data, ordinary.qq, gtk), cookies).body;
  EXPECT_NE(body.find(Utf8ToGbk("\"旅行2019\"")), std::string::npos);
  EXPECT_EQ(body.find("旅行2019"), std::string::npos);  // not UTF-8
  const JsonPtr reply = ParseJson(body);
  json_object* albums = DataArray(reply, "album");
  ASSERT_EQ(length(albums), ordinary.albums.size());

  for (std::size_t i = 0; i < ordinary.albums.size(); ++i) {
    const PersonalAlbum& expected = ordinary.albums[i];
    json_object* album = json_object_array_get_idx(albums, i);
    EXPECT_EQ(StringMember(album, "id"), expected.id);
    EXPECT_EQ(StringMember(album, "name"), Utf8ToGbk(expected.name));
    EXPECT_EQ(StringMember(album, "pre"), expected.coverUrl);
    EXPECT_EQ(StringMember(album, "total"), std::to_string(expected.photoCount()));
    EXPECT_EQ(StringMember(album, "question"), Utf8ToGbk(expected.question));
  }
  // What the program reads: member texts as json-c prints them.
  json_object* quoted = json_object_array_get_idx(albums, indexOf("say \"hi\" \\ back\\slash"));
  EXPECT_STREQ(json_object_to_json_string(json_object_object_get(quoted, "name")),
               "\"say \\\"hi\\\" \\\\ back\\\\slash\"");
  EXPECT_EQ(StringMember(json_object_array_get_idx(albums, indexOf("生日🎂快乐")), "name"),
            Utf8ToGbk("生日?快乐"));
}

TEST_F(Listings, BackslashTrailBytesStayAsTheGbkTextHasThem) {
  const PersonalAccount& trail = service.data.accountWithBackslashTrailBytes();
  ASSERT_EQ(Utf8ToGbk("淺")[1], '\\');
  const std::string owner = DocumentCookieText(SignInCookies(1, trail.qq, CookieLayout::Inside));
  const std::string body = service.get(AlbumListUrl(service.data, trail.qq, GtkOf(owner)), owner).body;
  EXPECT_NE(body.find("\"name\":\"" + Utf8ToGbk("淺藍色的海") + "\""), std::string::npos);
  // Read as GBK, the reply is JSON holding both albums.
  const JsonPtr reply = ParseJson(GbkToUtf8(body));
  json_object* albums = DataArray(reply, "album");
  ASSERT_EQ(length(albums), 2u);
  EXPECT_EQ(StringMember(json_object_array_get_idx(albums, 0), "name"), "淺藍色的海");
}

TEST_F(Listings, CoversMarkProtectedAndEmptyAlbumsByTheTwoPlaceholders) {
  int protectedAlbums = 0, emptyAlbums = 0;
  for (const PersonalAlbum& album : ordinary.albums) {
    if (album.isProtected()) {
      ++protectedAlbums;
      EXPECT_EQ(album.coverUrl, "http://imgcache.qq.com/ac/qzone_v5/photo/need_pass.png");
    } else if (album.photos.empty()) {
      ++emptyAlbums;
      EXPECT_EQ(album.coverUrl, "http://imgcache.qq.com/ac/qzone_v5/photo/no_photo_s.png");
    } else {
      EXPECT_EQ(service.data.pictureAt(album.coverUrl)->png, false) << album.name;
    }
    EXPECT_NE(service.data.pictureAt(album.coverUrl), nullptr) << album.name;
  }
  EXPECT_EQ(protectedAlbums, 2);
  EXPECT_EQ(emptyAlbums, 1);
}

TEST_F(Listings, PhotoPagesHoldFiveHundredAndEndWhereTheAlbumEnds) {
  for (const auto& [name, pages] : {std::pair<std::string, std::vector<std::size_t>>{"五百张", {500, 0}},
                                    {"五百零一张", {500, 1, 0}},
                                    {"空相册", {0}}}) {
    const PersonalAlbum& album = albumNamed(name);
    std::set<std::string> urls;
    for (std::size_t page = 0; page < pages.size(); ++page) {
      const int start = static_cast<int>(page) * 500;
      const JsonPtr reply = get(PhotoPageUrl(ordinary.qq, album.id, start, gtk));
      json_object* photos = DataArray(reply, "photoList");
      ASSERT_NE(photos, nullptr) << name;
      ASSERT_EQ(length(photos), pages[page]) << name << " page " << page;
      for (std::size_t i = 0; i < length(photos); ++i) {
        json_object* photo = json_object_array_get_idx(photos, i);
        EXPECT_EQ(StringMember(photo, "url"), album.photos[start + i].url);
        urls.insert(StringMember(photo, "url"));
      }
    }
    EXPECT_EQ(urls.size(), album.photos.size()) << name;
  }
}

TEST_F(Listings, FallbackPathOnTheAlbumHostAnswersLikeThePersonalSpaceHost) {
  const PersonalAlbum& album = albumNamed("五百零一张");
  const std::string primary = PhotoPageUrl(ordinary.qq, album.id, 500, gtk);
  const std::string fallback = "http://" + service.data.routeFor(ordinary.qq).albumHost +
                               "/fcgi-bin/cgi_list_photo" + primary.substr(primary.find('?'));
  EXPECT_EQ(service.get(fallback, cookies).body, service.get(primary, cookies).body);
  const std::string decoy = "http://" + service.data.routeFor(ordinary.qq).uploadHost +
                            "/fcgi-bin/cgi_list_photo" + primary.substr(primary.find('?'));
  EXPECT_EQ(service.get(decoy, cookies).status, 404);
}

TEST_F(Listings, FullSizeListingGivesEveryPhotoWithRawGivenEmptyOrNull) {
  const PersonalAlbum& large = albumNamed("五百零一张");
  EXPECT_EQ(length(DataArray(get(FullSizeUrl(service.data, ordinary.qq, large.id, gtk)), "pic")), 501u);

  const PersonalAlbum& titles = albumNamed("标题测试");
  const JsonPtr reply = get(FullSizeUrl(service.data, ordinary.qq, titles.id, gtk));
  json_object* pics = DataArray(reply, "pic");
  ASSERT_EQ(length(pics), titles.photos.size());
  std::set<std::string> rawTexts;
  for (std::size_t i = 0; i < titles.photos.size(); ++i) {
    json_object* pic = json_object_array_get_idx(pics, i);
    const std::string raw = json_object_to_json_string(json_object_object_get(pic, "raw"));
    rawTexts.insert(raw == "null" || raw == "\"\"" ? raw : "address");
    EXPECT_EQ(StringMember(pic, "url"), titles.photos[i].url);
    if (titles.photos[i].raw == RawAddress::Given) {
      EXPECT_EQ(StringMember(pic, "raw"), titles.photos[i].rawUrl);
    }
    // A photo without a title has no name member at all.
    EXPECT_EQ(json_object_object_get_ex(pic, "name", nullptr), titles.photos[i].hasTitle);
  }
  EXPECT_EQ(rawTexts, (std::set<std::string>{"null", "\"\"", "address"}));
}

TEST_F(Listings, PhotoTitlesRepeatRunLongAndGoMissing) {
  const PersonalAlbum& titles = albumNamed("标题测试");
  std::multiset<std::string> seen;
  bool longTitle = false, emptyTitle = false, missing = false;
  for (const PersonalPhoto& photo : titles.photos) {
    seen.insert(photo.title);
    longTitle |= Utf8ToGbk(photo.title).size() > 255;
    emptyTitle |= photo.hasTitle && photo.title.empty();
    missing |= !photo.hasTitle;
  }
  EXPECT_TRUE(longTitle && emptyTitle && missing);
  EXPECT_EQ(seen.count("重复的标题"), 3u);
}

TEST_F(Listings, ProtectedAlbumOpensToItsAnswerAndItsOwnerOnly) {
  const PersonalAlbum& secret = albumNamed("私密相册");
  const std::string url = PhotoPageUrl(ordinary.qq, secret.id, 0, "");
  const std::string stranger = DocumentCookieText(SignInCookies(1, "777777", CookieLayout::Inside));
  const std::string answered = stranger + "; " + AlbumPassCookieName(secret.id) + "=" +
                               AlbumPassValue(service.data, ordinary.qq, secret.id);
  const std::string wrongPass = stranger + "; " + AlbumPassCookieName(secret.id) + "=x";
  auto photos = [&](const std::string& cookieText) {
    return length(DataArray(get(url + GtkOf(cookieText), cookieText), "photoList"));
  };
  EXPECT_EQ(photos(stranger), 0u);
  EXPECT_EQ(photos(wrongPass), 0u);
  EXPECT_EQ(photos(answered), secret.photos.size());
  EXPECT_EQ(photos(cookies), secret.photos.size());  // the owner
}

class GroupListings : public Listings {
 protected:
  std::vector<std::size_t> albumPages(const Group& group) const {
    std::vector<std::size_t> sizes;
    for (int start = 0; start <= static_cast<int>(group.albums.size()); start += 1000) {
      sizes.push_back(length(DataArray(get(GroupAlbumPageUrl(group.number, start, gtk)), "album")));
    }
    return sizes;
  }
};

TEST_F(GroupListings, TotalStandsBetweenTheMarkersTheProgramCutsWith) {
  for (const Group& group : service.data.groups()) {
    const std::string reply = service.get(GroupTotalUrl(group.number, gtk), cookies).body;
    EXPECT_EQ(RemoveSpaces(TextBetween(reply, "\"total\" :", "\n}\n")), std::to_string(group.albums.size()));
  }
}

TEST_F(GroupListings, AlbumPagesHoldAThousandAndEndWithTheGroup) {
  EXPECT_EQ(albumPages(service.data.thousandAlbumGroup()), (std::vector<std::size_t>{1000, 0}));
  EXPECT_EQ(albumPages(service.data.largeGroup()), (std::vector<std::size_t>{1000, 1000, 500}));

  const Group& large = service.data.largeGroup();
  const JsonPtr last = get(GroupAlbumPageUrl(large.number, 2000, gtk));
  json_object* album = json_object_array_get_idx(DataArray(last, "album"), 499);
  EXPECT_EQ(StringMember(album, "id"), large.albums[2499].id);
  EXPECT_EQ(StringMember(album, "title"), large.albums[2499].title);
  EXPECT_EQ(StringMember(album, "photocnt"), std::to_string(large.albums[2499].photoCount()));
}

TEST_F(GroupListings, PhotoPagesHoldFiveHundredWithSmallAddressesWhoseLargeOnesExist) {
  const Group& group = service.data.smallGroup();
  const GroupAlbum* thousand = nullptr;
  for (const GroupAlbum& album : group.albums) {
    if (album.photoCount() == 1000) thousand = &album;
  }
  ASSERT_NE(thousand, nullptr);
  std::vector<std::size_t> sizes;
  for (int start : {0, 500, 1000}) {
    const JsonPtr reply = get(GroupPhotoPageUrl(group.number, thousand->id, start, gtk));
    json_object* photos = DataArray(reply, "photos");
    sizes.push_back(length(photos));
    if (length(photos) == 0) continue;
    const std::string burl = StringMember(json_object_array_get_idx(photos, 0), "burl");
    EXPECT_EQ(burl, thousand->photos[start].burl);
    const std::size_t marker = burl.find("200?w5");
    ASSERT_NE(marker, std::string::npos);
    const std::string large = std::string(burl).replace(marker, 6, "800?w5");
    ASSERT_NE(service.data.pictureAt(large), nullptr);
    EXPECT_NE(service.pictures.bytes(*service.data.pictureAt(large)),
              service.pictures.bytes(*service.data.pictureAt(burl)));
  }
  EXPECT_EQ(sizes, (std::vector<std::size_t>{500, 500, 0}));
}

}  // namespace
}  // namespace fotolun::standin
