// The current endpoint family read the way the program will read it: JSONP, the p_skey session,
// the three album keys, paging, the raw choices, floatview batches, videos and the group refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "standin/placeholder_gif.h"
#include "standin/sign_in_cookies.h"
#include "standin_requests.h"

namespace fotolun::standin {
namespace {

const std::string kPhotoBase = "http://user.qzone.qq.com/proxy/domain/photo.qzone.qq.com/fcgi-bin/";
const std::string kGroupBase = "http://h5.qzone.qq.com/proxy/domain/u.photo.qzone.qq.com/cgi-bin/upp/";

std::string GtkOfValue(const std::string& value) { return GtkOf("skey=" + value); }

// The JSON inside "callback(...);", "" when the reply is not wrapped in that callback.
std::string Unwrapped(const std::string& body, const std::string& callback) {
  const bool wrapped = body.rfind(callback + "(", 0) == 0 && body.size() >= callback.size() + 3 &&
                       body.compare(body.size() - 2, 2, ");") == 0;
  return wrapped ? body.substr(callback.size() + 1, body.size() - callback.size() - 3) : "";
}

json_object* Member(json_object* object, const char* name) {
  json_object* value = nullptr;
  return json_object_object_get_ex(object, name, &value) ? value : nullptr;
}
int IntMember(json_object* object, const char* name) { return json_object_get_int(Member(object, name)); }
json_object* Data(const JsonPtr& reply) { return Member(reply.get(), "data"); }
std::size_t Length(json_object* array) { return array == nullptr ? 0 : json_object_array_length(array); }
json_object* At(json_object* array, std::size_t i) { return json_object_array_get_idx(array, i); }

class CurrentFamily : public ::testing::Test {
 protected:
  // Signed in as qq with the whole cookie set, so the token must be the p_skey's.
  std::string cookiesOf(const std::string& qq) const {
    return DocumentCookieText(SignInCookies(1, qq, CookieLayout::Inside));
  }
  std::string gtkOf(const std::string& qq) const { return GtkOfValue(PSkeyFor(1, qq)); }

  JsonPtr jsonp(const std::string& url, const std::string& qq,
                const std::string& callback = "shine_Callback") {
    const Response reply = service.get(url + "&g_tk=" + gtkOf(qq), cookiesOf(qq));
    EXPECT_EQ(reply.headers.at(0).second, "application/x-javascript; charset=utf-8");
    if (const std::string key = photoKeyOf(reply); !key.empty()) lastPhotoKey = key;
    return ParseJson(Unwrapped(reply.body, callback));
  }
  JsonPtr json(const std::string& url, const std::string& qq) {
    return ParseJson(service.get(url + "&g_tk=" + gtkOf(qq), cookiesOf(qq)).body);
  }
  std::string albumList(const std::string& owner, int start, int num) const {
    return kPhotoBase + "fcg_list_album_v3?hostUin=" + owner + "&uin=" + me +
           "&pageStart=" + std::to_string(start) + "&pageNum=" + std::to_string(num);
  }
  std::string photoList(const std::string& owner, const std::string& album) const {
    return kPhotoBase + "cgi_list_photo?hostUin=" + owner + "&uin=" + me + "&topicId=" + album +
           "&pageStart=0&pageNum=500";
  }
  std::string floatview(const PersonalAlbum& album, const std::string& picKey, int postNum) const {
    return kPhotoBase + "cgi_floatview_photo_list_v2?hostUin=" + video.qq + "&uin=" + me +
           "&topicId=" + album.id + "&picKey=" + picKey + "&prevNum=0&postNum=" + std::to_string(postNum);
  }

  // The qq_photo_key a reply sets, "" when it sets none.
  static std::string photoKeyOf(const Response& reply) {
    for (const auto& [name, value] : reply.headers)
      if (name == "Set-Cookie" && value.rfind("qq_photo_key=", 0) == 0)
        return value.substr(13, value.find(';') - 13);
    return "";
  }

  DirectService service;
  std::string lastPhotoKey;
  const PersonalAccount& video = service.data.videoAccount();
  const std::string me = service.data.ordinaryAccount().qq;
};

TEST_F(CurrentFamily, SessionTakesPSkeyOrElseSkeyAndNamesItsRefusals) {
  const std::string& qq = me;
  const std::string all = cookiesOf(qq);
  const std::string skeyOnly = "uin=" + UinCookieValue(qq) + "; skey=" + SkeyFor(1, qq);
  const std::string url = albumList(qq, 0, 30);
  const struct {
    std::string cookies;
    std::string gtk;
    int code;
  } cases[] = {
      {all, gtkOf(qq), 0},
      {all, GtkOfValue(SkeyFor(1, qq)), -3000},  // a p_skey cookie wants its own token
      {skeyOnly, GtkOfValue(SkeyFor(1, qq)), 0},
      {skeyOnly + "; p_skey=wrong", GtkOfValue("wrong"), -3000},
      {"uin=o0000010001; p_skey=" + PSkeyFor(1, qq), gtkOf(qq), -3000},  // another number's p_skey
      {"", gtkOf(qq), -3000},
  };
  for (const auto& c : cases) {
    const JsonPtr reply =
        ParseJson(Unwrapped(service.get(url + "&g_tk=" + c.gtk, c.cookies).body, "shine_Callback"));
    EXPECT_EQ(IntMember(reply.get(), "code"), c.code) << c.cookies;
    if (c.code != 0) {
      EXPECT_EQ(IntMember(reply.get(), "subcode"), -4001);
    }
  }
  // The callback is the caller's; a private account is shown to its owner only.
  const std::string priv = service.data.privateAccount().qq;
  const Response named = service.get(albumList(priv, 0, 30) + "&callback=cb_7&g_tk=" + gtkOf(qq), all);
  EXPECT_EQ(IntMember(ParseJson(Unwrapped(named.body, "cb_7")).get(), "code"), -4009);
  EXPECT_EQ(IntMember(jsonp(albumList(priv, 0, 30), priv).get(), "code"), 0);

  for (const std::string option : {"&pskey=httponly", ""}) {
    std::string marked;
    for (const auto& [name, value] : service.get("http://user.qzone.qq.com/?login=" + qq + option).headers) {
      if (value.find("HttpOnly") != std::string::npos) marked += value.substr(0, 7);
    }
    EXPECT_EQ(marked, option.empty() ? "" : "p_skey=");
  }
}

TEST_F(CurrentFamily, AlbumPagesUseTheAccountsKeyAndChainByNextPageStart) {
  const struct {
    const PersonalAccount& account;
    const char* key;
  } cases[] = {{service.data.ordinaryAccount(), "albumListModeSort"},
               {service.data.classifiedAccount(), "albumListModeClass"},
               {service.data.plainListAccount(), "albumList"},
               {video, "albumListModeSort"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    std::vector<std::string> seen, expected;
    for (int start = 0, pages = 0; start < static_cast<int>(c.account.albums.size()) && pages < 20; ++pages) {
      const JsonPtr reply = jsonp(albumList(c.account.qq, start, 2), me);
      json_object* albums = Member(Data(reply), c.key);
      ASSERT_NE(albums, nullptr);
      EXPECT_EQ(IntMember(Data(reply), "albumsInUser"), static_cast<int>(c.account.albums.size()));
      const int before = static_cast<int>(seen.size());
      for (std::size_t i = 0; i < Length(albums); ++i) {
        json_object* inClass = Member(At(albums, i), "albumList");  // albumListModeClass: two classes
        for (std::size_t j = 0; j < (inClass != nullptr ? Length(inClass) : 1); ++j) {
          json_object* album = inClass != nullptr ? At(inClass, j) : At(albums, i);
          EXPECT_EQ(json_object_get_type(Member(album, "modifytime")), json_type_int);
          seen.push_back(StringMember(album, "id") + " " + StringMember(album, "allowAccess"));
        }
      }
      EXPECT_EQ(IntMember(Data(reply), "nextPageStart"), start + static_cast<int>(seen.size()) - before);
      start = IntMember(Data(reply), "nextPageStart");
    }
    for (const PersonalAlbum& album : c.account.albums)
      expected.push_back(album.id + (album.isProtected() && c.account.qq != me ? " 0" : " 1"));
    EXPECT_EQ(seen, expected);
  }
}

TEST_F(CurrentFamily, PhotoListsTellRawChoicesAndVideosAndRefuseAsTheOldOnes) {
  const PersonalAccount& ordinary = service.data.ordinaryAccount();
  std::set<int> rawChoices;
  for (const auto& [owner, album] :
       {std::pair(&ordinary, &ordinary.albums.back()), std::pair(&ordinary, &ordinary.albums.front()),
        std::pair(&video, &video.albums[0])}) {
    const JsonPtr reply = jsonp(photoList(owner->qq, album->id), me);
    json_object* photos = DataArray(reply, "photoList");
    const std::string photoKey = "qq_photo_key=" + lastPhotoKey;
    ASSERT_EQ(Length(photos), album->photos.size());
    for (std::size_t i = 0; i < album->photos.size(); ++i) {
      const PersonalPhoto& photo = album->photos[i];
      json_object* listed = At(photos, i);
      EXPECT_EQ(StringMember(listed, "url"), photo.url);
      EXPECT_EQ(Member(listed, "name") != nullptr, photo.hasTitle);
      const std::string got = std::to_string(IntMember(listed, "raw_upload")) + "|" +
                              StringMember(listed, "raw") + "|" + StringMember(listed, "origin_url");
      const std::string want = photo.raw == RawAddress::Given         ? "1|" + photo.rawUrl + "|"
                               : photo.raw == RawAddress::EmptyString ? "0||" + photo.rawUrl
                                                                      : "0||";
      EXPECT_EQ(got, want) << i;
      rawChoices.insert(static_cast<int>(photo.raw));
      EXPECT_EQ(json_object_get_boolean(Member(listed, "is_video")), photo.video.has_value());
      EXPECT_EQ(json_object_to_json_string(Member(listed, "phototype")),
                std::string(photo.video ? "\"video\"" : "1"));
      // A video's listed address is its cover, a JPEG (with the list's photo key).
      EXPECT_EQ(service.get(photo.url, photoKey).headers.at(0).second, "image/jpeg");
    }
  }
  EXPECT_EQ(rawChoices.size(), 3u);

  // Protected albums: another's without its pass, and one's own.
  const PersonalAccount& classified = service.data.classifiedAccount();
  EXPECT_EQ(IntMember(jsonp(photoList(classified.qq, classified.albums[2].id), me).get(), "code"), -10805);
  EXPECT_EQ(IntMember(jsonp(photoList(ordinary.qq, ordinary.albums[2].id), me).get(), "code"), 0);
  EXPECT_EQ(IntMember(jsonp(photoList(ordinary.qq, "V1nosuchalbum"), me).get(), "code"), -10801);
}

// Today's service: a photo list hands out a one-time key that the photo.store.qq.com hosts want
// with every photo (else their placeholder picture), refuses old agents, and gives a player its
// video whole from the first byte.
TEST_F(CurrentFamily, PhotoKeysOldAgentsAndVideoRangesAsTodaysServiceAnswersThem) {
  const PersonalAlbum& album = service.data.ordinaryAccount().albums.front();
  const std::string list = photoList(me, album.id) + "&g_tk=" + gtkOf(me);
  const Response first = service.get(list, cookiesOf(me));
  const std::string key = photoKeyOf(first);
  ASSERT_FALSE(key.empty());
  EXPECT_NE(std::find(first.headers.begin(), first.headers.end(),
                      std::pair<std::string, std::string>(
                          "Set-Cookie", "qq_photo_key=" + key + "; Domain=.qq.com; Path=/")),
            first.headers.end());
  EXPECT_EQ(photoKeyOf(service.get(list, cookiesOf(me) + "; qq_photo_key=" + key)), "")
      << "a key sent is kept";
  const std::string& placeholder = PlaceholderGif();
  EXPECT_EQ(placeholder.size(), 755u);
  EXPECT_EQ(placeholder.substr(0, 10), std::string("GIF89a\x60\0\x60\0", 10)) << "96 x 96";
  int keyed = 0;
  for (const PersonalPhoto& photo : album.photos) {
    const std::string real = service.pictures.bytes(*service.data.pictureAt(photo.url));
    const bool wantsKey = photo.url.find(".photo.store.qq.com/") != std::string::npos;
    keyed += wantsKey ? 1 : 0;
    EXPECT_EQ(service.get(photo.url).body, wantsKey ? placeholder : real) << photo.url;
    EXPECT_EQ(service.get(photo.url, "qq_photo_key=" + key).body, real) << photo.url;
  }
  EXPECT_GT(keyed, 0);

  Request oldAgent = RequestFor(list, cookiesOf(me));
  oldAgent.headers.emplace_back("User-Agent", "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  EXPECT_EQ(IntMember(ParseJson(Unwrapped(service.handler(oldAgent).body, "shine_Callback")).get(), "code"),
            -10049);

  for (const PersonalPhoto& photo : video.albums[0].photos) {
    if (!photo.video || photo.video->isPlaylist()) continue;
    Request ranged = RequestFor(photo.video->videoUrl);
    ranged.headers.emplace_back("Range", "bytes=0-");
    const Response whole = service.handler(ranged);
    const std::string bytes = service.get(photo.video->videoUrl).body;
    EXPECT_EQ(whole.status, 206);
    EXPECT_EQ(whole.body, bytes);
    EXPECT_NE(std::find(whole.headers.begin(), whole.headers.end(),
                        std::pair<std::string, std::string>(
                            "Content-Range", "bytes 0-" + std::to_string(bytes.size() - 1) + "/" +
                                                 std::to_string(bytes.size()))),
              whole.headers.end());
  }
}

TEST_F(CurrentFamily, FloatviewBatchesRunFromPicKeyAndCarryTheVideoAddresses) {
  const PersonalAlbum& mixed = video.albums[0];
  const JsonPtr first = jsonp(floatview(mixed, mixed.photos[1].lloc, 2), me, "viewer_Callback");
  const JsonPtr rest = jsonp(floatview(mixed, mixed.photos[1].lloc, 500), me, "viewer_Callback");
  std::vector<std::string> keys, videos;
  for (std::size_t i = 0; i < Length(DataArray(first, "photos")); ++i)
    keys.push_back(StringMember(At(DataArray(first, "photos"), i), "picKey"));
  for (std::size_t i = 0; i < Length(DataArray(rest, "photos")); ++i) {
    json_object* info = Member(At(DataArray(rest, "photos"), i), "video_info");
    videos.push_back(info == nullptr ? "-"
                                     : StringMember(info, "format") +
                                           (StringMember(info, "download_url").empty() ? "" : " download"));
    EXPECT_EQ(info == nullptr ? "" : StringMember(info, "cover_url"),
              mixed.photos[i + 1].video ? mixed.photos[i + 1].url : "");
  }
  EXPECT_EQ(keys,
            (std::vector<std::string>{mixed.photos[1].lloc, mixed.photos[2].lloc, mixed.photos[3].lloc}));
  EXPECT_EQ(videos, (std::vector<std::string>{"mp4 download", "-", "mp4", "m3u8", "-"}));
  EXPECT_EQ(IntMember(Data(first), "picPosInTotal"), 1);
  EXPECT_EQ(IntMember(Data(first), "total"), mixed.photoCount());
  EXPECT_EQ(IntMember(jsonp(floatview(mixed, "NDN0unknown", 5), me, "viewer_Callback").get(), "code"),
            -10802);

  // The files behind them, the same by their host and at the loopback origin.
  for (const PersonalPhoto& photo : mixed.photos) {
    for (const std::string& url :
         {photo.video ? photo.video->videoUrl : "", photo.video ? photo.video->downloadUrl : ""}) {
      if (url.empty()) continue;
      const Response file = service.get(url);
      EXPECT_EQ(service.get("http://127.0.0.1:1" + url.substr(url.find('/', 7))).body, file.body);
      if (photo.video->isPlaylist()) {
        EXPECT_EQ(file.headers.at(0).second, "application/vnd.apple.mpegurl");
        EXPECT_EQ(file.body, "#EXTM3U\n#EXT-X-VERSION:3\n#EXTINF:10,\nseg0.ts\n#EXT-X-ENDLIST\n");
      } else {
        EXPECT_EQ(file.body.substr(4, 8), "ftypisom");
      }
    }
  }
}

TEST_F(CurrentFamily, GroupListsNameTheirArraysByAlbumAndRefuseStrangersAndClosedAlbums) {
  const Group& group = service.data.videoGroup();
  const auto albums = [&](const Group& g) {
    return kGroupBase + "qun_list_album_v2?qunId=" + g.number + "&qunid=" + g.number + "&uin=" + me +
           "&start=0&num=1000&cmd=qunGetAlbumList";
  };
  const auto photos = [&](const Group& g, const GroupAlbum& album) {
    return kGroupBase + "qun_list_photo_v2?uin=" + me + "&qunId=" + g.number + "&albumId=" + album.id +
           "&start=0&num=500";
  };
  const JsonPtr list = json(albums(group), me);
  ASSERT_EQ(Length(DataArray(list, "album")), group.albums.size());
  EXPECT_EQ(IntMember(Data(list), "total"), static_cast<int>(group.albums.size()));

  const char* keys[] = {"photolist", "photoList", "photos"};
  for (std::size_t i = 0; i < group.albums.size(); ++i) {
    const JsonPtr page = json(photos(group, group.albums[i]), me);
    if (group.albums[i].closed) {
      EXPECT_EQ(IntMember(page.get(), "code"), -20011);
      EXPECT_EQ(StringMember(page.get(), "message"), "对不起，您无权访问该相册");
      continue;
    }
    json_object* listed = DataArray(page, keys[i % 3]);
    ASSERT_EQ(Length(listed), group.albums[i].photos.size()) << i;
    for (std::size_t j = 0; j < Length(listed); ++j) {
      const GroupPhoto& photo = group.albums[i].photos[j];
      json_object* videodata = Member(At(listed, j), "videodata");
      EXPECT_EQ(videodata != nullptr, photo.video.has_value());
      if (videodata != nullptr) {
        EXPECT_EQ(StringMember(videodata, "coverurl"), photo.burl);
        EXPECT_EQ(service.get(StringMember(videodata, "actionurl")).body.substr(4, 4), "ftyp");
      }
    }
  }
  const Group& stranger = service.data.closedGroup();
  for (const std::string& url : {albums(stranger), photos(stranger, stranger.albums[0])}) {
    const JsonPtr refused = json(url, me);
    EXPECT_EQ(IntMember(refused.get(), "code"), -20010);
    EXPECT_EQ(StringMember(refused.get(), "message"), "对不起，您不是该群成员");
  }
  EXPECT_EQ(IntMember(ParseJson(service.get(albums(group) + "&g_tk=1", cookiesOf(me)).body).get(), "code"),
            -3000);
}

TEST_F(CurrentFamily, OldListingsMarkAVideoGivingItsCoverAndSwitchedOffFamiliesAnswer404) {
  const PersonalAlbum& mixed = video.albums[0];
  const std::string old = PhotoPageUrl(video.qq, mixed.id, 0, GtkOfValue(SkeyFor(1, me)));
  const JsonPtr oldReply = ParseJson(service.get(old, cookiesOf(me)).body);
  json_object* oldPhotos = DataArray(oldReply, "photoList");
  ASSERT_EQ(Length(oldPhotos), mixed.photos.size());
  EXPECT_EQ(StringMember(At(oldPhotos, 1), "url"), mixed.photos[1].url);
  EXPECT_STREQ(json_object_to_json_string(Member(At(oldPhotos, 1), "is_video")), "true");
  EXPECT_EQ(StringMember(At(oldPhotos, 1), "phototype"), "video");
  EXPECT_EQ(Member(At(oldPhotos, 0), "is_video"), nullptr);

  const std::string current = albumList(me, 0, 30) + "&g_tk=" + gtkOf(me);
  const std::string route = "http://route.store.qq.com/GetRoute?UIN=" + me + "&type=json";
  const struct {
    EndpointFamilies families;
    int currentStatus;
    int classicStatus;
  } cases[] = {{{true, true}, 200, 200}, {{false, true}, 200, 404}, {{true, false}, 404, 200}};
  for (const auto& c : cases) {
    const ServiceHandler handler(service.data, service.pictures, service.version, service.qrLogins,
                                 service.photoKeys, c.families);
    EXPECT_EQ(handler(RequestFor(current, cookiesOf(me))).status, c.currentStatus);
    EXPECT_EQ(handler(RequestFor(route)).status, c.classicStatus);
    EXPECT_EQ(handler(RequestFor(old, cookiesOf(me))).status, c.classicStatus);
    EXPECT_EQ(handler(RequestFor(mixed.photos[0].url)).status, 200);
  }
}

}  // namespace
}  // namespace fotolun::standin
