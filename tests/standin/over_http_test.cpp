// The stand-in reached through its server with libcurl, as the program and its browser reach it.
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "standin/replies.h"
#include "standin/standin.h"
#include "standin_requests.h"
#include "story/photo_identity.h"
#include "story/photo_time.h"
#include "text/encoding.h"

namespace fotolun::standin {
namespace {

struct Reply {
  long status = 0;
  std::string body;
  std::vector<std::string> setCookies;  // in the order sent
};

size_t AppendBody(char* data, size_t size, size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

size_t CollectSetCookie(char* data, size_t size, size_t count, void* out) {
  const std::string line(data, size * count);
  if (line.rfind("Set-Cookie: ", 0) == 0) {
    static_cast<std::vector<std::string>*>(out)->push_back(line.substr(12, line.find("\r\n") - 12));
  }
  return size * count;
}

// proxy "" asks the stand-in as an origin.
Reply Get(const std::string& url, const std::string& proxy, const std::string& cookies = "") {
  Reply reply;
  CURL* curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROXY, proxy.c_str());
  curl_easy_setopt(curl, CURLOPT_NOPROXY, proxy.empty() ? "*" : "");
  if (!cookies.empty()) curl_easy_setopt(curl, CURLOPT_COOKIE, cookies.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, CollectSetCookie);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &reply.setCookies);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
  if (curl_easy_perform(curl) == CURLE_OK) curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
  curl_easy_cleanup(curl);
  return reply;
}

class OverHttp : public ::testing::Test {
 protected:
  void SetUp() override { standin.start(); }

  Reply get(const std::string& url, const std::string& cookies = "") {
    return Get(url, standin.proxyUrl(), cookies);
  }

  Standin standin{1};
  const PersonalAccount& ordinary = standin.data().ordinaryAccount();
};

TEST_F(OverHttp, SignInSetsScriptReadableCookiesInTheLayoutsOrder) {
  const Reply form = get("http://user.qzone.qq.com/");
  EXPECT_NE(form.body.find("<form"), std::string::npos);
  EXPECT_TRUE(form.setCookies.empty());

  const Reply signedIn = get("http://user.qzone.qq.com/?login=" + ordinary.qq + "&layout=skey-last");
  std::string document;
  for (const std::string& setCookie : signedIn.setCookies) {
    EXPECT_NE(setCookie.find("; Domain=qq.com"), std::string::npos);
    EXPECT_EQ(setCookie.find("HttpOnly"), std::string::npos);
    document += (document.empty() ? "" : "; ") + setCookie.substr(0, setCookie.find(';'));
  }
  EXPECT_EQ(document, standin.signInCookieText(ordinary.qq, CookieLayout::SkeyLast));
  EXPECT_EQ(get("http://user.qzone.qq.com/?login=abc").setCookies.size(), 0u);
}

TEST_F(OverHttp, SignedInListingsAnswerThroughTheProxyAndAsAnOrigin) {
  const std::string cookies = standin.signInCookieText(ordinary.qq);
  const std::string url = AlbumListUrl(standin.data(), ordinary.qq, GtkOf(cookies));
  const Reply proxied = get(url, cookies);
  EXPECT_EQ(proxied.status, 200);
  EXPECT_EQ(json_object_array_length(DataArray(ParseJson(proxied.body), "album")), ordinary.albums.size());

  const std::string origin = standin.proxyUrl() + url.substr(url.find('/', 7));
  EXPECT_EQ(Get(origin, "", cookies).body, proxied.body);
  EXPECT_NE(get(url).body.find(Utf8ToGbk(kNotSignedInMessage)), std::string::npos);

  const std::vector<Request> log = standin.server().requests();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].header("Cookie"), cookies);
  EXPECT_TRUE(log[0].viaProxy);
  EXPECT_FALSE(log[1].viaProxy);
}

TEST_F(OverHttp, PhotosComeByteForByteAndCookiesSentOutsideTheServiceShowInTheLog) {
  const PersonalAlbum& album = ordinary.albums[0];
  const std::string cookies = standin.signInCookieText(ordinary.qq);
  int outside = 0;
  for (const PersonalPhoto& photo : album.photos) {
    const Reply reply = get(photo.url, cookies);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, standin.photoBytes(photo.url));
    outside += photo.url.find("example-cdn.net") != std::string::npos;
  }
  ASSERT_GT(outside, 0);
  EXPECT_EQ(standin.requestsLeakingCookies().size(), static_cast<std::size_t>(outside));
  standin.server().clearRequests();
  for (const PersonalPhoto& photo : album.photos) get(photo.url);
  EXPECT_TRUE(standin.requestsLeakingCookies().empty());
}

TEST_F(OverHttp, RightAnswerOnTheQuestionPageOpensTheAlbum) {
  const PersonalAlbum* diary = nullptr;
  for (const PersonalAlbum& album : ordinary.albums) {
    if (album.answer == "旺财") diary = &album;
  }
  ASSERT_NE(diary, nullptr);
  const std::string page = "http://user.qzone.qq.com/" + ordinary.qq + "/photo/";
  EXPECT_NE(get(page).body.find(diary->question), std::string::npos);
  EXPECT_TRUE(get(page + "?albumId=" + diary->id + "&answer=" + UrlEncoded("旺")).setCookies.empty());

  const Reply right = get(page + "?albumId=" + diary->id + "&answer=" + UrlEncoded("旺财"));
  ASSERT_EQ(right.setCookies.size(), 1u);
  const std::string pass = right.setCookies[0].substr(0, right.setCookies[0].find(';'));
  const std::string stranger = standin.signInCookieText("5550001");
  EXPECT_EQ(stranger + "; " + pass, standin.withAlbumPass(stranger, ordinary.qq, diary->id));
  const std::string opened = stranger + "; " + pass;
  const Reply listing = get(PhotoPageUrl(ordinary.qq, diary->id, 0, GtkOf(opened)), opened);
  EXPECT_EQ(json_object_array_length(DataArray(ParseJson(listing.body), "photoList")), diary->photos.size());
}

TEST_F(OverHttp, VersionPageNamesTheConfiguredVersion) {
  EXPECT_NE(get("http://fotolun.example.org/update.txt").body.find("#fotolun@@1.4#fotolun"),
            std::string::npos);
  standin.setLatestVersion("1.5");
  EXPECT_NE(get("http://fotolun.example.org/any/path").body.find("#fotolun@@1.5#fotolun"), std::string::npos);
}

TEST_F(OverHttp, ConcurrentDownloadsGetTheirOwnPhotos) {
  const PersonalAlbum& album = ordinary.albums[0];
  std::vector<std::thread> threads;
  std::vector<int> mismatches(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (const PersonalPhoto& photo : album.photos) {
        mismatches[t] += get(photo.url).body != standin.photoBytes(photo.url);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

std::string Printed(json_object* photo, const char* member) {
  return json_object_to_json_string(json_object_object_get(photo, member));
}

// The keys and times the program reads as it reads them, and an album growing between two runs
// while another client keeps listing it.
TEST_F(OverHttp, PhotosCarryKeysAndTimesAndAlbumsGrowWhileServed) {
  const std::string cookies = standin.signInCookieText(ordinary.qq);
  const std::string gtk = GtkOf(cookies);
  for (const PersonalAlbum& album : {ordinary.albums[0], ordinary.albums.back()}) {
    for (const std::string& url : {PhotoPageUrl(ordinary.qq, album.id, 0, gtk),
                                   FullSizeUrl(standin.data(), ordinary.qq, album.id, gtk)}) {
      const JsonPtr reply = ParseJson(get(url, cookies).body);
      json_object* photos =
          DataArray(reply, url.find("cgi_list_photo") != std::string::npos ? "photoList" : "pic");
      ASSERT_EQ(json_object_array_length(photos), album.photos.size()) << url;
      std::set<std::string> keys;
      for (std::size_t i = 0; i < album.photos.size(); ++i) {
        json_object* photo = json_object_array_get_idx(photos, i);
        keys.insert(
            photoIdentity(CopyKind::hd, Printed(photo, "lloc"), Printed(photo, "sloc"), Printed(photo, "url"))
                .key);
        const auto uploaded = photoTime("null", Printed(photo, "uploadtime"));
        ASSERT_TRUE(uploaded) << Printed(photo, "uploadtime");
        const bool noShootingTime = i % 6 == 0 || i % 6 == 1 || i % 6 == 5;
        EXPECT_EQ(photoTime(Printed(photo, "rawshoottime"), "null"),
                  noShootingTime ? std::nullopt : std::optional(*uploaded - 2 * 86400 - 13 * std::time_t(i)))
            << i << " " << Printed(photo, "rawshoottime");
      }
      EXPECT_EQ(keys.size(), album.photos.size()) << url;
    }
  }

  const PersonalAlbum& album = ordinary.albums[0];
  std::vector<std::string> before;
  for (const PersonalPhoto& photo : album.photos) before.push_back(photo.url);
  std::thread lister([&] {
    for (int i = 0; i < 20; ++i) get(PhotoPageUrl(ordinary.qq, album.id, 0, gtk), cookies);
  });
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(standin.growAlbum(ordinary.qq, album.id, 1));
  lister.join();
  EXPECT_FALSE(standin.growAlbum(ordinary.qq, "V1nothing", 1));

  const JsonPtr grown = ParseJson(get(PhotoPageUrl(ordinary.qq, album.id, 0, gtk), cookies).body);
  json_object* photos = DataArray(grown, "photoList");
  ASSERT_EQ(json_object_array_length(photos), before.size() + 3);
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(StringMember(json_object_array_get_idx(photos, i), "url"), before[i]);
  }
  const std::string added = StringMember(json_object_array_get_idx(photos, before.size() + 2), "url");
  EXPECT_EQ(get(added).body, standin.photoBytes(added));
  EXPECT_FALSE(standin.photoBytes(added).empty());

  const Group& group = standin.data().smallGroup();
  const GroupAlbum& groupAlbum = group.albums[0];
  ASSERT_TRUE(standin.growGroupAlbum(group.number, groupAlbum.id, 2));
  const JsonPtr groupPage =
      ParseJson(get(GroupPhotoPageUrl(group.number, groupAlbum.id, 0, gtk), cookies).body);
  json_object* groupPhotos = DataArray(groupPage, "photos");
  ASSERT_EQ(json_object_array_length(groupPhotos), groupAlbum.photos.size());
  json_object* last = json_object_array_get_idx(groupPhotos, groupAlbum.photos.size() - 1);
  EXPECT_TRUE(photoTime("null", Printed(last, "uploadtime")));
  EXPECT_EQ(get(StringMember(last, "burl")).body, standin.photoBytes(StringMember(last, "burl")));
}

}  // namespace
}  // namespace fotolun::standin
