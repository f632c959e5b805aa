#pragma once
// The accounts, groups, albums, photos and feeds the stand-in serves. Built from a seed; afterwards
// only albums and feeds grow (photos added at an album's end, posts before a feed's first, as an
// owner uploading between two runs), under the exclusive lock, while request threads read under
// the shared one (readLock).
//
// Texts here are UTF-8 (what a person typed into the service); each reply converts them to the
// encoding its endpoint uses.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

namespace fotolun::standin {

// Where the sample addresses point. The static-image host must be the one the program compares
// cover addresses with.
struct SampleHosts {
  std::string staticImage = "imgcache.qq.com";
  // Photo hosts, used in turn; the last one lies outside the service's cookie domains.
  std::vector<std::string> photo = {"b1.photo.store.qq.com", "a2.qpic.cn", "photos.example-cdn.net"};
  std::string video = "photovideo.photo.qq.com";
  std::string feedPhoto = "a1.qpic.cn";  // the pictures of the feeds' posts
};

// Where a video entry's moving picture lives. The old listings give the entry's cover picture as
// its address and mark it as a video, as the https lists do; only the https endpoints tell where
// the moving picture is.
struct VideoLinks {
  std::string videoUrl;     // an mp4, or a playlist ending ".m3u8"
  std::string downloadUrl;  // an mp4, or "" when only the player's address is given
  std::string vid;
  int durationMs = 0;

  bool isPlaylist() const {
    return videoUrl.size() >= 5 && videoUrl.compare(videoUrl.size() - 5, 5, ".m3u8") == 0;
  }
};

// What a listing says about a photo's full-size address.
enum class RawAddress { Given, EmptyString, Null };

struct PersonalPhoto {
  std::string title;     // UTF-8
  bool hasTitle = true;  // false: the listings leave the name member out
  std::string url;       // the ordinary (HD) address
  std::string rawUrl;    // the full-size address: raw when Given, the current origin_url when EmptyString
  RawAddress raw = RawAddress::Given;
  // The listing's photo keys; an empty one leaves its member out.
  std::string lloc;
  std::string sloc;
  std::string uploadTime;           // "YYYY-MM-DD HH:MM:SS", China time
  std::string shootTimeJson;        // rawshoottime as the listing writes it: "", "0", a date, unix seconds
  std::optional<VideoLinks> video;  // url is then the cover picture
  std::string description;          // UTF-8, "" for none (the listings then write "")
  // The camera's own record as the listings give it (exif: originalTime, make, model); some
  // photos have none.
  struct Exif {
    std::string originalTime;  // "YYYY:MM:DD HH:MM:SS"
    std::string make;
    std::string model;
  };
  std::optional<Exif> exif;
};

struct PersonalAlbum {
  std::string id;
  std::string name;      // UTF-8
  std::string question;  // "" unless the album is protected
  std::string answer;
  std::string coverUrl;  // the listing's pre: a photo, or one of the two placeholders
  std::vector<PersonalPhoto> photos;
  std::string description;  // UTF-8

  bool isProtected() const { return !question.empty(); }
  int photoCount() const { return static_cast<int>(photos.size()); }
};

// One picture of a post as the feed lists it. Its four addresses differ only in the size letter
// after the token: s (small), m (url1), b (url2), o (url3, the full size).
struct FeedPicture {
  std::string picId;  // "" when the list leaves pic_id out (the pictures of forwarded posts)
  int width = 0;      // the full size, which url3 serves unless full says otherwise
  int height = 0;
  std::string smallUrl;
  std::string url1;  // a quarter of the full size
  std::string url2;  // half of it
  std::string url3;
  // What the photo host does at url3: serves the full size, refuses it (404, nothing registered),
  // or serves the 96 x 96 placeholder GIF.
  enum class Full { Served, Refused, Placeholder };
  Full full = Full::Served;
  std::string videoUrl;  // a video item's mp4 (video_info.video_url); url1..3 are then its cover
};

// An item of a post's video[]: its cover picture and its file.
struct FeedVideo {
  std::string id;
  std::string cover;  // url1
  std::string file;   // url3, an mp4 on the video host
};

// A post of a space's feed ("说说"). Texts are UTF-8.
struct FeedPost {
  std::string tid;
  std::string content;
  std::int64_t createdTime = 0;  // unix seconds
  bool hidden = false;           // secret: shown to the owner only, yet it takes its place in the pages
  int comments = 0;
  std::vector<FeedPicture> pictures;  // all of them (pictotal); the list gives the first nine
  std::vector<FeedVideo> videos;
  struct Forwarded {
    std::string tid;
    std::string uin;
    std::string name;
    std::string content;
  };
  std::optional<Forwarded> forwarded;  // the pictures are then the forwarded post's
};

struct PersonalAccount {
  std::string qq;
  bool isPrivate = false;  // only its owner may list it
  std::string route;       // the storage route name, see RouteTable
  std::vector<PersonalAlbum> albums;
  std::string nickname{};
  std::vector<FeedPost> feed{};  // newest first
};

struct GroupPhoto {
  std::string name;  // UTF-8
  bool hasName = true;
  std::string burl;                 // the small address the listing gives (usually holding "200?w5")
  std::int64_t uploadTime = 0;      // unix seconds, as the group listing writes it
  std::optional<VideoLinks> video;  // burl is then the cover picture
  std::string description;          // UTF-8
};

struct GroupAlbum {
  std::string id;
  std::string title;  // UTF-8
  std::vector<GroupPhoto> photos;
  bool closed = false;  // listed, but its photos are refused to the members

  int photoCount() const { return static_cast<int>(photos.size()); }
};

struct Group {
  std::string number;
  std::vector<GroupAlbum> albums;
  bool signedInIsMember = true;  // false: the current listings refuse whoever asks
};

// A storage route: the default record names an upload host that serves no album lists; only the
// backup record's host does.
struct StorageRoute {
  std::string name;
  std::string uploadHost;  // the default record's host (a decoy)
  std::string albumHost;   // the "<name>_bak" record's host
};

// A picture the photo hosts serve: key makes its bytes, size its dimensions.
struct PictureSource {
  std::string host;
  std::string key;
  int width = 0;
  int height = 0;
  bool png = false;
  // More than the picture needs: the file is filled up to this length after its end (benchmarks).
  std::size_t paddedTo = 0;
  bool placeholder = false;  // the host serves the placeholder GIF here in place of the picture
};

// A benchmark's album: photos of one size, all from one host.
struct BenchAlbum {
  int photos = 0;  // 0: none
  std::size_t photoBytes = 20 * 1024;
};

// A video file the video host serves: key makes its bytes.
struct VideoSource {
  std::string host;
  std::string key;
  bool playlist = false;
};

class SampleData {
 public:
  explicit SampleData(std::uint64_t seed, SampleHosts hosts = {}, BenchAlbum bench = {});
  SampleData(const SampleData&) = delete;
  SampleData& operator=(const SampleData&) = delete;

  // The number whose one album is the benchmark's (BenchAlbum).
  static constexpr std::string_view kBenchAccountQq = "10001000";

  // Held by whoever reads the data while an album may grow (the request threads).
  std::shared_lock<std::shared_mutex> readLock() const { return std::shared_lock(mutex_); }
  // Appends count new photos (and their pictures) to the album; false when there is no such
  // album. Takes the exclusive lock: references into the album's photos held across the call go
  // stale. The same seed, album and sizes always give the same new photos.
  bool growPersonalAlbum(std::string_view qq, std::string_view albumId, int count);
  bool growGroupAlbum(std::string_view groupNumber, std::string_view albumId, int count);
  // Puts count new posts (one or two pictures each) before every post of the account's feed, as
  // its owner posting between two runs; false when there is no such account. Locked as the above.
  bool addFeedPosts(std::string_view qq, int count);

  std::uint64_t seed() const { return seed_; }
  const SampleHosts& hosts() const { return hosts_; }

  const std::vector<PersonalAccount>& accounts() const { return accounts_; }
  const std::vector<Group>& groups() const { return groups_; }
  const std::vector<StorageRoute>& routes() const { return routes_; }

  // The named samples tests reach for.
  const PersonalAccount& ordinaryAccount() const { return accounts_[0]; }
  const PersonalAccount& privateAccount() const { return accounts_[1]; }
  const PersonalAccount& accountWithoutAlbums() const { return accounts_[2]; }
  // Album names and photo titles holding 淺, whose GBK form ends in the byte of a backslash.
  const PersonalAccount& accountWithBackslashTrailBytes() const { return accounts_[3]; }
  // The account holding the benchmark's album, when one was asked for (nullptr otherwise).
  const PersonalAccount* benchAccount() const { return account(kBenchAccountQq); }
  const Group& smallGroup() const { return groups_[0]; }
  const Group& thousandAlbumGroup() const { return groups_[1]; }
  const Group& largeGroup() const { return groups_[2]; }
  // The current album list puts albums under a key chosen by the account's index (i % 3):
  // albumListModeSort for ordinaryAccount and videoAccount, albumListModeClass for
  // classifiedAccount, albumList for plainListAccount.
  const PersonalAccount& classifiedAccount() const { return accounts_[4]; }
  const PersonalAccount& plainListAccount() const { return accounts_[5]; }
  // Its first album mixes pictures with the three kinds of video entry.
  const PersonalAccount& videoAccount() const { return accounts_[6]; }
  // No albums; a feed of three years (feed_builder.cpp tells which post is which).
  const PersonalAccount& feedAccount() const { return accounts_[feedIndex_]; }
  // An open album with pictures and a video, then a closed album.
  const Group& videoGroup() const { return groups_[3]; }
  const Group& closedGroup() const { return groups_[4]; }

  // nullptr when there is none.
  const PersonalAccount* account(std::string_view qq) const;
  const PersonalAlbum* personalAlbum(std::string_view qq, std::string_view albumId) const;
  const Group* group(std::string_view number) const;
  const GroupAlbum* groupAlbum(std::string_view groupNumber, std::string_view albumId) const;

  // The route of any number: a sample account's own, otherwise one picked from its digits.
  const StorageRoute& routeFor(std::string_view qq) const;
  bool isAlbumHost(std::string_view host) const;

  // The two placeholder covers ("http://<static-image host>/ac/qzone_v5/photo/...").
  std::string needPassCoverUrl() const;
  std::string noPhotoCoverUrl() const;

  // The picture at an address (host + path and query), nullptr when nothing is there.
  const PictureSource* picture(std::string_view host, std::string_view target) const;
  // The picture at a path and query whatever the host (for requests made to the stand-in as an origin).
  const PictureSource* pictureByTarget(std::string_view target) const;
  // Same, from a whole "http://host/target" address.
  const PictureSource* pictureAt(std::string_view url) const;
  // Every picture address, for tests that want to walk them.
  std::vector<std::string> pictureUrls() const;

  // The video files, looked up as the pictures are.
  const VideoSource* video(std::string_view host, std::string_view target) const;
  const VideoSource* videoByTarget(std::string_view target) const;
  const VideoSource* videoAt(std::string_view url) const;

 private:
  friend class SampleBuilder;
  friend class FeedBuilder;

  mutable std::shared_mutex mutex_;
  std::uint64_t seed_;
  SampleHosts hosts_;
  std::vector<StorageRoute> routes_;
  std::vector<PersonalAccount> accounts_;
  std::size_t feedIndex_ = 0;
  std::vector<Group> groups_;
  std::map<std::string, PictureSource, std::less<>> picturesByTarget_;
  std::map<std::string, VideoSource, std::less<>> videosByTarget_;
};

}  // namespace fotolun::standin
