#include "standin/feed_builder.h"

#include <iterator>
#include <map>

namespace fotolun::standin {
namespace {

constexpr std::string_view kAlnum = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kHex = "0123456789abcdef";
constexpr std::string_view kDigits = "0123456789";

constexpr int kPlaces = 52;
constexpr std::int64_t kNewestDay = 1640448000;  // 2021-12-26 00:00, China time
constexpr std::int64_t kDay = 86400;

// Texts people post, some more than once: a reader naming files after them meets repeats.
constexpr const char* kContents[] = {
    "今天天气不错",
    "周末去爬山了",
    "新年快乐！",
    "记录一下生活",
    "和朋友们一起吃火锅",
    "路边的小猫",
    "a/b 路径和<尖括号>&符号",
};

}  // namespace

// What a post is made of; pictures below zero draws none to four.
struct FeedBuilder::Plan {
  int pictures = -1;
  bool hidden = false;
  bool forwarded = false;
  bool videoItem = false;         // one more pic[] item, a video
  bool videoList = false;         // one video[] item
  int refusedAt = -1;             // the picture whose full size the host refuses
  int placeholderAt = -1;         // the picture whose full size is the placeholder
  const char* content = nullptr;  // nullptr: drawn
};

std::string FeedBuilder::token(int length, std::string_view alphabet) {
  std::string text;
  for (int i = 0; i < length; ++i) text += alphabet[below(alphabet.size())];
  return text;
}

std::string FeedBuilder::newTid(const PersonalAccount& account) {
  for (;;) {
    std::string tid = token(24, kHex);
    bool taken = false;
    for (const FeedPost& post : account.feed) taken = taken || post.tid == tid;
    if (!taken) return tid;
  }
}

std::string FeedBuilder::registerPicture(const std::string& target, int width, int height, bool placeholder) {
  const std::string& host = data_.hosts_.feedPhoto;
  PictureSource source{host, host + target, width, height};
  source.placeholder = placeholder;
  data_.picturesByTarget_.emplace(target, std::move(source));
  return "http://" + host + target;
}

FeedPicture FeedBuilder::picture(const std::string& ownerQq, bool withId, FeedPicture::Full full) {
  // Full sizes a phone's picture is scaled to, small enough that a whole feed stays quick to serve;
  // a quarter of each is still above the 200 px under which a copy may be the placeholder.
  static constexpr std::pair<int, int> kShapes[] = {
      {1024, 768}, {768, 1024}, {1024, 576}, {960, 960}, {960, 720}};
  const auto [width, height] = kShapes[below(std::size(kShapes))];
  FeedPicture picture;
  if (withId) picture.picId = token(32, kAlnum);
  picture.width = width;
  picture.height = height;
  picture.full = full;
  const std::string base = "/psc?/V5" + ownerQq + "/" + token(24, kAlnum) + "/";
  const std::string tail = "&bo=" + token(10, kAlnum) + "!!&rf=viewer_311";
  picture.smallUrl = registerPicture(base + "s" + tail, width / 8, height / 8);
  picture.url1 = registerPicture(base + "m" + tail, width / 4, height / 4);
  picture.url2 = registerPicture(base + "b" + tail, width / 2, height / 2);
  if (full == FeedPicture::Full::Refused) {
    picture.url3 = "http://" + data_.hosts_.feedPhoto + base + "o" + tail;
  } else {
    picture.url3 = registerPicture(base + "o" + tail, width, height, full == FeedPicture::Full::Placeholder);
  }
  return picture;
}

FeedVideo FeedBuilder::video(const std::string& ownerQq) {
  FeedVideo video;
  video.id = "1075_" + token(32, kHex);
  video.cover =
      registerPicture("/psc?/V5" + ownerQq + "/" + token(24, kAlnum) + "/m&rf=viewer_311", 640, 360);
  const std::string target = "/" + video.id + ".f0.mp4?dis_k=" + token(16, kHex) + "&dis_t=1600000000";
  const std::string& host = data_.hosts_.video;
  data_.videosByTarget_.emplace(target, VideoSource{host, host + target, false});
  video.file = "http://" + host + target;
  return video;
}

FeedPost FeedBuilder::post(const PersonalAccount& account, const Plan& plan, std::int64_t time) {
  FeedPost post;
  post.tid = newTid(account);
  post.createdTime = time;
  post.hidden = plan.hidden;
  post.comments = static_cast<int>(below(6));
  post.content = plan.content != nullptr ? plan.content : kContents[below(std::size(kContents))];
  const int pictures = plan.pictures >= 0 ? plan.pictures : static_cast<int>(below(5));
  std::string pictureOwner = account.qq;
  if (plan.forwarded) {
    post.forwarded = FeedPost::Forwarded{token(24, kHex), "1" + token(8, kDigits), "老同学",
                                         pictures > 0 ? "风景真好，分享给大家" : "转发的一段话"};
    pictureOwner = post.forwarded->uin;
  }
  for (int i = 0; i < pictures; ++i) {
    const FeedPicture::Full full = i == plan.refusedAt       ? FeedPicture::Full::Refused
                                   : i == plan.placeholderAt ? FeedPicture::Full::Placeholder
                                                             : FeedPicture::Full::Served;
    // The list names forwarded pictures without their ids.
    post.pictures.push_back(picture(pictureOwner, !plan.forwarded, full));
  }
  if (plan.videoItem) {
    FeedPicture item = picture(pictureOwner, true);
    const std::string target =
        "/1075_" + token(32, kHex) + ".f20.mp4?dis_k=" + token(16, kHex) + "&dis_t=1600000000";
    const std::string& host = data_.hosts_.video;
    data_.videosByTarget_.emplace(target, VideoSource{host, host + target, false});
    item.videoUrl = "http://" + host + target;
    post.pictures.push_back(std::move(item));
  }
  if (plan.videoList) post.videos.push_back(video(account.qq));
  return post;
}

void FeedBuilder::build() {
  PersonalAccount account{"", false, "gz", {}};
  do {
    account.qq = "3" + token(8, kDigits);
  } while (data_.account(account.qq) != nullptr);
  account.nickname = "三年的说说";

  // Places counted from the newest. 18, 19 and 20 are one day's three posts, split by the
  // page boundary after 19; 5, 27 and 44, hidden, take a place on each page.
  const std::map<int, Plan> special = {
      {1, {.pictures = 0}},
      {2, {.pictures = 12, .content = "十二张照片"}},
      {3, {.pictures = 2, .content = "他说\"你好\"😀\n第二行 / 斜杠"}},
      {5, {.pictures = 2, .hidden = true, .content = "只给自己看"}},
      {7, {.pictures = 3, .forwarded = true, .content = "转发一下"}},
      {9, {.pictures = 1, .videoItem = true, .content = "照片和视频"}},
      {10, {.pictures = 0}},
      {11, {.pictures = 0, .videoList = true, .content = "一段视频"}},
      {13, {.pictures = 2, .refusedAt = 0, .content = "原图拿不到"}},
      {15, {.pictures = 3, .placeholderAt = 1, .content = "原图是占位图"}},
      {17, {.pictures = 0}},
      {18, {.pictures = 1, .content = "同一天的第三条"}},
      {19, {.pictures = 2, .content = "同一天的第二条"}},
      {20, {.pictures = 3, .content = "同一天的第一条"}},
      {23, {.pictures = 0, .forwarded = true, .content = ""}},
      {25, {.pictures = 9}},
      {27, {.pictures = 0, .hidden = true, .content = "也是只给自己看"}},
      {29, {.pictures = 0}},
      {31, {.pictures = 8}},
      {33, {.pictures = 4, .content = ""}},
      {35, {.pictures = 7}},
      {38, {.pictures = 0}},
      {40, {.pictures = 6}},
      {44, {.pictures = 1, .hidden = true, .content = "第三条私密"}},
      {46, {.pictures = 0}},
      {48, {.pictures = 5}},
      {51, {.pictures = 0, .content = "第一条说说"}},
  };
  for (int place = 0; place < kPlaces; ++place) {
    const auto found = special.find(place);
    const Plan plan = found == special.end() ? Plan{} : found->second;
    const int dayPlace = place >= 18 && place <= 20 ? 19 : place;
    const std::int64_t day = kNewestDay - static_cast<std::int64_t>(dayPlace * 1085 / (kPlaces - 1)) * kDay;
    std::int64_t clock = 8 * 3600 + static_cast<std::int64_t>(below(14 * 3600));
    if (place == 18) clock = 21 * 3600 + 40 * 60 + 5;
    if (place == 19) clock = 14 * 3600 + 3 * 60 + 30;
    if (place == 20) clock = 7 * 3600 + 15 * 60;
    if (place == 30) clock = 20 * 60;  // the China day after the UTC one
    account.feed.push_back(post(account, plan, day + clock));
  }
  data_.accounts_.push_back(std::move(account));
  data_.feedIndex_ = data_.accounts_.size() - 1;
}

void FeedBuilder::addPosts(PersonalAccount& account, int count) {
  const std::int64_t newest = account.feed.empty() ? kNewestDay : account.feed.front().createdTime;
  std::vector<FeedPost> added;
  for (int i = count; i >= 1; --i) {
    Plan plan;
    plan.pictures = 1 + static_cast<int>(below(2));
    plan.content = "新说说";
    added.push_back(post(account, plan, newest + i * 5 * 3600));
  }
  account.feed.insert(account.feed.begin(), std::make_move_iterator(added.begin()),
                      std::make_move_iterator(added.end()));
}

}  // namespace fotolun::standin
