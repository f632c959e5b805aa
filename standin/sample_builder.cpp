#include "standin/sample_builder.h"

#include <ctime>
#include <utility>

#include "standin/derived_token.h"

namespace fotolun::standin {
namespace {

constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

std::string padded(std::size_t value, int width) {
  std::string text = std::to_string(value);
  while (static_cast<int>(text.size()) < width) text.insert(0, "0");
  return text;
}

std::string repeated(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

// "YYYY-MM-DD HH:MM:SS" in China time (UTC+8), as the service writes its times.
std::string chinaTime(std::int64_t unixSeconds) {
  const std::time_t shifted = static_cast<std::time_t>(unixSeconds + 8 * 3600);
  std::tm fields{};
  gmtime_r(&shifted, &fields);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &fields);
  return text;
}

// A number of that many digits made from the parts alone, without drawing from the seeded
// sequence: every id, title and picture built from that sequence stays as it was.
std::int64_t derivedNumber(std::initializer_list<std::string_view> parts, int digits) {
  return std::stoll(DerivedToken(0, parts, digits, "0123456789"));
}

// The shooting time as the listings give it, in each of the forms the service uses.
std::string shootTimeJson(std::int64_t uploaded, std::size_t index) {
  const std::int64_t shot = uploaded - 2 * 86400 - static_cast<std::int64_t>(index) * 13;
  switch (index % 6) {
    case 0:
      return "\"\"";
    case 1:
      return "\"0\"";
    case 2:
      return "\"" + chinaTime(shot) + "\"";
    case 3:
      return std::to_string(shot);
    case 4:
      return "\"" + std::to_string(shot) + "\"";
    default:
      return "0";
  }
}

}  // namespace

SampleBuilder::SampleBuilder(SampleData& data) : SampleBuilder(data, data.seed()) {}

SampleBuilder::SampleBuilder(SampleData& data, std::uint64_t seed) : data_(data), engine_(seed) {}

void SampleBuilder::grow(PersonalAlbum& album, int count) {
  for (int i = 0; i < count; ++i) {
    const std::size_t index = album.photos.size();
    album.photos.push_back(personalPhoto(album.id, "新照片" + padded(index + 1, 4), index));
  }
}

void SampleBuilder::grow(const Group& group, GroupAlbum& album, int count) {
  for (int i = 0; i < count; ++i) {
    const std::size_t index = album.photos.size();
    album.photos.push_back(groupPhoto(group, album.id, "新群照片" + std::to_string(index + 1), index));
  }
}

void SampleBuilder::build() {
  buildRoutes();
  buildAccounts();
  buildGroups();
  addPicture(data_.hosts_.staticImage, "/ac/qzone_v5/photo/need_pass.png", 100, 100, true);
  addPicture(data_.hosts_.staticImage, "/ac/qzone_v5/photo/no_photo_s.png", 100, 100, true);
  buildCurrentFamilyAccounts();
  buildCurrentFamilyGroups();
}

std::uint64_t SampleBuilder::below(std::uint64_t bound) { return engine_() % bound; }

// A number of exactly that many digits, without a leading zero.
std::string SampleBuilder::number(int digits) {
  std::string text(1, static_cast<char>('1' + below(9)));
  for (int i = 1; i < digits; ++i) text += static_cast<char>('0' + below(10));
  return text;
}

std::string SampleBuilder::token(int length) {
  std::string text;
  for (int i = 0; i < length; ++i) text += kAlphabet[below(sizeof kAlphabet - 1)];
  return text;
}

std::string SampleBuilder::uniqueId(const std::string& prefix) {
  for (;;) {
    std::string id = prefix + token(12);
    if (ids_.insert(id).second) return id;
  }
}

const std::string& SampleBuilder::photoHost(std::size_t i) const {
  return data_.hosts_.photo[i % data_.hosts_.photo.size()];
}

std::string SampleBuilder::addPicture(const std::string& host, const std::string& target, int width,
                                      int height, bool png) {
  PictureSource source{host, host + target, width, height, png};
  data_.picturesByTarget_.emplace(target, std::move(source));
  return "http://" + host + target;
}

std::string SampleBuilder::addVideo(const std::string& target, bool playlist) {
  const std::string& host = data_.hosts_.video;
  data_.videosByTarget_.emplace(target, VideoSource{host, host + target, playlist});
  return "http://" + host + target;
}

void SampleBuilder::addBenchAccount(const BenchAlbum& bench) {
  PersonalAccount account{std::string(SampleData::kBenchAccountQq), false, "gz", {}};
  PersonalAlbum album;
  album.id = "V1BENCH0000001";
  album.name = "bench";
  const std::string& host = data_.hosts_.photo.front();
  for (int i = 0; i < bench.photos; ++i) {
    PersonalPhoto photo;
    photo.title = "B" + padded(static_cast<std::size_t>(i + 1), 6);
    const std::string target = "/psb?/" + album.id + "/" + padded(static_cast<std::size_t>(i), 8) + "/b/";
    // One picture behind every address: a benchmark's stand-in holds one photo's bytes, not all.
    PictureSource source{host, "bench", 64, 48, false, bench.photoBytes};
    data_.picturesByTarget_.emplace(target, std::move(source));
    photo.url = "http://" + host + target;
    photo.rawUrl = photo.url;
    photo.lloc = "BENCH" + padded(static_cast<std::size_t>(i), 8);
    photo.sloc = photo.lloc;
    photo.uploadTime = chinaTime(1546300800 + i);
    photo.shootTimeJson = "\"\"";
    album.photos.push_back(std::move(photo));
  }
  album.coverUrl = data_.noPhotoCoverUrl();
  account.albums.push_back(std::move(album));
  data_.accounts_.push_back(std::move(account));
}

void SampleBuilder::buildRoutes() {
  data_.routes_ = {
      {"gz", "gzup.photo.qq.com", "gzalist.photo.qq.com"},
      {"xa", "xaup.photo.qq.com", "xalist.photo.qq.com"},
      {"sh", "shup.photo.qq.com", "shalist.photo.qq.com"},
  };
}

PersonalPhoto SampleBuilder::personalPhoto(const std::string& albumId, std::string title, std::size_t index) {
  PersonalPhoto photo;
  photo.title = std::move(title);
  const std::string key = token(16);
  photo.url = addPicture(photoHost(index), "/psb?/" + albumId + "/" + key + "/b/&rf=viewer_4", 160, 120);
  // Every ninth photo has no full-size copy the old listings name, which they show as raw ""; the
  // current listings name an original there instead.
  if (index % 9 == 8) {
    photo.raw = RawAddress::EmptyString;
    photo.rawUrl =
        addPicture(photoHost(index + 1), "/psb?/" + albumId + "/" + key + "/o/&rf=viewer_4", 320, 240);
  } else {
    photo.rawUrl =
        addPicture(photoHost(index + 1), "/psb?/" + albumId + "/" + key + "/r/&rf=viewer_4", 320, 240);
  }
  photo.lloc = "NDN0" + key;
  photo.sloc = photo.lloc;
  const std::int64_t uploaded =
      1546300800 + derivedNumber({albumId}, 3) * 86400 + static_cast<std::int64_t>(index) * 3607;
  photo.uploadTime = chinaTime(uploaded);
  photo.shootTimeJson = shootTimeJson(uploaded, index);
  // Descriptions and camera records come from the index alone: the seeded sequence stays as it was.
  static const char* const kDescriptions[] = {
      "", "那天的阳光很好", "", "和家人一起\n第二行", "<script>alert(1)</script>", ""};
  photo.description = kDescriptions[index % 6];
  if (index % 4 == 1) {
    std::string original = chinaTime(uploaded - 86400);
    original[4] = ':';
    original[7] = ':';
    photo.exif = PersonalPhoto::Exif{original, "Canon", "Canon EOS 80D"};
  }
  return photo;
}

void SampleBuilder::giveCover(PersonalAlbum& album) {
  if (album.isProtected()) {
    album.coverUrl = data_.needPassCoverUrl();
  } else if (album.photos.empty()) {
    album.coverUrl = data_.noPhotoCoverUrl();
  } else {
    album.coverUrl =
        addPicture(photoHost(ids_.size()), "/psb?/" + album.id + "/" + token(16) + "/a/", 96, 96);
  }
}

PersonalAlbum SampleBuilder::personalAlbum(std::string name, int photoCount, const std::string& titlePrefix) {
  PersonalAlbum album;
  album.id = uniqueId("V1");
  album.name = std::move(name);
  album.description = album.name.empty() ? "" : "关于" + album.name + "的照片";
  for (int i = 0; i < photoCount; ++i) {
    // Every hundredth title repeats the one before it, as cameras restarting their counter do.
    const int shown = (i % 100 == 99) ? i : i + 1;
    album.photos.push_back(personalPhoto(album.id, titlePrefix + padded(shown, 4), i));
  }
  return album;
}

void SampleBuilder::addEdgeTitleAlbum(PersonalAccount& account) {
  PersonalAlbum album = personalAlbum("标题测试", 0, "");
  const std::vector<std::string> titles = {
      "重复的标题",
      "重复的标题",
      "重复的标题",
      "",
      repeated("长", 150) + "_end",
      "\xE3\x80\x80前后全角空格\xE3\x80\x80",
      "  前后空格  ",
      "：？。",
      "引号\"和\\反斜杠",
      "😀笑脸",
      "a/b\\c",
      "我的（新）照片",
      "IMG.0001.JPG",
      "没有名字的照片",
      "原图为空",
      // Titles that are markup: an offline page must show them as text.
      "<script>alert(1)</script>",
      "\"><img src=x onerror=alert(1)>",
  };
  for (std::size_t i = 0; i < titles.size(); ++i) {
    album.photos.push_back(personalPhoto(album.id, titles[i], i));
  }
  album.photos[13].hasTitle = false;
  album.photos[13].title.clear();
  album.photos[14].raw = RawAddress::Null;
  album.photos[14].rawUrl.clear();
  // Photos known only by their second key, and by neither.
  album.photos[13].lloc.clear();
  album.photos[14].lloc.clear();
  album.photos[14].sloc.clear();
  album.description = "\"><img src=x onerror=alert(1)><b>粗</b>";
  giveCover(album);
  account.albums.push_back(std::move(album));
}

void SampleBuilder::buildAccounts() {
  PersonalAccount ordinary{number(8), false, "gz", {}};
  struct Plan {
    const char* name;
    int photos;
    const char* titles;
  };
  const Plan plans[] = {
      {"旅行2019", 12, "IMG_"},
      {"家人：聚会？", 5, "DSC_"},
      {"a:b\\c/d?e*f<g>h|i", 3, "pic"},
      {"（我的）照片·！，。", 2, "照片"},
      {"生日🎂快乐", 4, "生日"},
      {"", 2, "无名"},
      {"：？。", 1, "符号"},
      {"say \"hi\" \\ back\\slash", 3, "quote"},
      {"v1.0 final.", 2, "v"},
      {"空相册", 0, ""},
      {"五百张", 500, "P"},
      {"五百零一张", 501, "Q"},
  };
  for (const Plan& plan : plans) {
    PersonalAlbum album = personalAlbum(plan.name, plan.photos, plan.titles);
    giveCover(album);
    ordinary.albums.push_back(std::move(album));
  }
  PersonalAlbum secret = personalAlbum("私密相册", 6, "秘密");
  secret.question = "我的生日是哪天？";
  secret.answer = "0101";
  giveCover(secret);
  ordinary.albums.insert(ordinary.albums.begin() + 2, std::move(secret));
  PersonalAlbum diary = personalAlbum("心情日记", 2, "日记");
  diary.question = "我家狗叫什么";
  diary.answer = "旺财";
  giveCover(diary);
  ordinary.albums.insert(ordinary.albums.begin() + 7, std::move(diary));
  addEdgeTitleAlbum(ordinary);

  PersonalAccount hidden{number(10), true, "xa", {}};
  for (const Plan& plan : {Plan{"私人相册", 3, "me"}, Plan{"工作", 2, "work"}, Plan{"家", 1, "home"}}) {
    PersonalAlbum album = personalAlbum(plan.name, plan.photos, plan.titles);
    giveCover(album);
    hidden.albums.push_back(std::move(album));
  }

  PersonalAccount bare{number(6), false, "gz", {}};

  // In code page 936 the second byte of 淺 is a backslash: a reader that takes the GBK reply for
  // JSON byte by byte sees an escape there.
  PersonalAccount trail{number(9), false, "sh", {}};
  for (const Plan& plan : {Plan{"淺藍色的海", 2, "淺灘"}, Plan{"普通相册", 1, "海"}}) {
    PersonalAlbum album = personalAlbum(plan.name, plan.photos, plan.titles);
    giveCover(album);
    trail.albums.push_back(std::move(album));
  }

  data_.accounts_ = {std::move(ordinary), std::move(hidden), std::move(bare), std::move(trail)};
}

// The old listings give the entry its cover as address, with no full-size copy, and mark it as a video.
PersonalPhoto SampleBuilder::personalVideo(const std::string& albumId, std::string title, std::size_t index,
                                           VideoKind kind) {
  PersonalPhoto photo = personalPhoto(albumId, std::move(title), index);
  photo.raw = RawAddress::Null;
  photo.rawUrl.clear();
  const std::string base = "/" + albumId + "/" + token(16);
  VideoLinks video;
  video.vid = "1075_" + token(24);
  video.durationMs = 15000 + static_cast<int>(index) * 1000;
  switch (kind) {
    case VideoKind::WithDownload:
      video.videoUrl = addVideo(base + ".f20.mp4");
      video.downloadUrl = addVideo(base + ".f0.mp4");
      break;
    case VideoKind::PlayerOnly:
      video.videoUrl = addVideo(base + ".f20.mp4");
      break;
    case VideoKind::PlaylistOnly:
      video.videoUrl = addVideo(base + "/index.m3u8", true);
      break;
  }
  photo.video = std::move(video);
  return photo;
}

void SampleBuilder::buildCurrentFamilyAccounts() {
  struct Plan {
    const char* name;
    int photos;
    const char* titles;
  };
  auto addAlbums = [&](PersonalAccount& account, std::initializer_list<Plan> plans) {
    for (const Plan& plan : plans) {
      PersonalAlbum album = personalAlbum(plan.name, plan.photos, plan.titles);
      giveCover(album);
      account.albums.push_back(std::move(album));
    }
  };

  PersonalAccount classified{number(8), false, "xa", {}};
  addAlbums(classified, {{"默认相册", 3, "IMG_"}, {"春游", 2, "春"}, {"海边", 1, "海"}});
  PersonalAlbum graduation = personalAlbum("毕业照", 2, "毕业");
  graduation.question = "我们班主任姓什么";
  graduation.answer = "王";
  giveCover(graduation);
  classified.albums.insert(classified.albums.begin() + 2, std::move(graduation));

  PersonalAccount plainList{number(9), false, "sh", {}};
  addAlbums(plainList, {{"随手拍", 3, "拍"}, {"旧照片", 2, "旧"}});

  PersonalAccount withVideos{number(8), false, "gz", {}};
  PersonalAlbum mixed = personalAlbum("视频相册", 0, "");
  mixed.photos.push_back(personalPhoto(mixed.id, "照片一", 0));
  mixed.photos.push_back(personalVideo(mixed.id, "可下载的视频", 1, VideoKind::WithDownload));
  mixed.photos.push_back(personalPhoto(mixed.id, "照片二", 2));
  mixed.photos.push_back(personalVideo(mixed.id, "只能播放的视频", 3, VideoKind::PlayerOnly));
  mixed.photos.push_back(personalVideo(mixed.id, "分段的视频", 4, VideoKind::PlaylistOnly));
  mixed.photos.push_back(personalPhoto(mixed.id, "照片三", 5));
  giveCover(mixed);
  withVideos.albums.push_back(std::move(mixed));
  addAlbums(withVideos, {{"图片", 2, "图"}});

  data_.accounts_.push_back(std::move(classified));
  data_.accounts_.push_back(std::move(plainList));
  data_.accounts_.push_back(std::move(withVideos));
}

void SampleBuilder::buildCurrentFamilyGroups() {
  Group withVideo{number(7), {}};
  GroupAlbum mixed = groupAlbum(withVideo, "视频和照片", 3);
  GroupPhoto clip = groupPhoto(withVideo, mixed.id, "群视频", 3);
  clip.video = VideoLinks{addVideo("/qun/" + withVideo.number + "/" + mixed.id + "/" + token(16) + ".mp4"),
                          "", token(24), 20000};
  mixed.photos.insert(mixed.photos.begin() + 1, std::move(clip));
  withVideo.albums.push_back(std::move(mixed));
  GroupAlbum closed = groupAlbum(withVideo, "管理员相册", 2);
  closed.closed = true;
  withVideo.albums.push_back(std::move(closed));
  withVideo.albums.push_back(groupAlbum(withVideo, "第三个相册", 1));

  Group notJoined{number(8), {}};
  notJoined.signedInIsMember = false;
  notJoined.albums.push_back(groupAlbum(notJoined, "别人的群相册", 2));

  data_.groups_.push_back(std::move(withVideo));
  data_.groups_.push_back(std::move(notJoined));
}

GroupPhoto SampleBuilder::groupPhoto(const Group& group, const std::string& albumId, std::string name,
                                     std::size_t index, bool withSizeMarker) {
  GroupPhoto photo;
  photo.name = std::move(name);
  photo.uploadTime = 1450000000 + static_cast<std::int64_t>(index) * 60;
  photo.description = index % 5 == 2 ? "群里的合影" : index % 5 == 4 ? "<img src=x onerror=alert(1)>" : "";
  const std::string host = photoHost(index);
  const std::string base = "/qun/" + group.number + "/" + albumId + "/" + token(16) + "/";
  if (!withSizeMarker) {
    photo.burl = addPicture(host, base + "orig.jpg", 200, 150);
    return photo;
  }
  photo.burl = addPicture(host, base + "200?w5=320&h5=240&rf=viewer_421", 64, 48);
  addPicture(host, base + "800?w5=320&h5=240&rf=viewer_421", 320, 240);
  return photo;
}

GroupAlbum SampleBuilder::groupAlbum(const Group& group, std::string title, int photoCount) {
  GroupAlbum album;
  album.id = uniqueId("V5");
  album.title = std::move(title);
  for (int i = 0; i < photoCount; ++i) {
    // Names repeat every fifty photos and every seventh one is left blank.
    std::string name = (i % 7 == 6) ? "" : "群照片" + std::to_string(i % 50 + 1);
    album.photos.push_back(groupPhoto(group, album.id, std::move(name), i));
  }
  return album;
}

void SampleBuilder::buildGroups() {
  Group small{number(7), {}};
  const std::pair<const char*, int> plans[] = {
      {"聚会/2019", 3}, {"say \"cheese\"", 2}, {"a:b?c", 2}, {"back\\slash", 2},
      {"千张", 1000},   {"空相册", 0},         {"🎉派对", 2}, {"   ", 1},
  };
  for (const auto& [title, photos] : plans) small.albums.push_back(groupAlbum(small, title, photos));
  GroupAlbum unmarked = groupAlbum(small, "无标记", 0);
  unmarked.photos.push_back(groupPhoto(small, unmarked.id, "原样地址1", 0, false));
  unmarked.photos.push_back(groupPhoto(small, unmarked.id, "有标记", 1, true));
  unmarked.photos.push_back(groupPhoto(small, unmarked.id, "原样地址2", 2, false));
  unmarked.photos[1].hasName = false;
  unmarked.photos[1].name.clear();
  small.albums.push_back(std::move(unmarked));

  Group thousand{number(8), {}};
  for (int i = 1; i <= 1000; ++i) {
    thousand.albums.push_back(groupAlbum(thousand, "相册" + padded(i, 4), i % 3));
  }

  Group large{number(9), {}};
  for (int i = 1; i <= 2500; ++i) {
    large.albums.push_back(groupAlbum(large, "第" + std::to_string(i) + "个相册", i % 4 == 0 ? 1 : 0));
  }

  data_.groups_ = {std::move(small), std::move(thousand), std::move(large)};
}

}  // namespace fotolun::standin
