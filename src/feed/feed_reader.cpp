#include "feed/feed_reader.h"

#include <algorithm>
#include <string>

#include "feed/feed_endpoints.h"
#include "form/percent_text.h"
#include "service/listing_request.h"
#include "story/photo_time.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

constexpr RetryFloor kFeedFloor{5, 2000};
// A list that never ends (a service fault) is not followed past this many places.
constexpr int kMostPlaces = 1'000'000;

void showRead(Context& context, const FeedRead& read) {
  Form& form = context.form;
  const int shown = static_cast<int>(read.posts.size()) + read.hidden();
  form.setMaximum(Control::进度条1, std::max(read.total, shown));
  form.setPosition(Control::进度条1, shown);
  form.setText(Control::标签_进度条比例,
               percentText(form.position(Control::进度条1), form.maximum(Control::进度条1)));
  form.setText(Control::标签_第多少张照片,
               Utf8ToGbk("已读取说说") + std::to_string(shown) + "/" + std::to_string(read.total));
}

bool hasMedia(const FeedPost& post) { return post.mediaCount() > 0; }

// Whether the reading may end after page (--feed-new): every post of it with pictures saved, and
// none of the posts still to be saved made on the day of its last post.
bool savedUpTo(const std::vector<FeedPost>& page, const std::vector<FeedPost>& read,
               const std::function<bool(const FeedPost&)>& saved) {
  if (page.empty() || std::none_of(page.begin(), page.end(), hasMedia)) return false;
  for (const FeedPost& post : page)
    if (hasMedia(post) && !saved(post)) return false;
  const std::string lastDay = feedDay(page.back());
  return std::none_of(read.begin(), read.end(), [&](const FeedPost& post) {
    return hasMedia(post) && feedDay(post) == lastDay && !saved(post);
  });
}

}  // namespace

int FeedRead::hidden() const {
  const int seen = static_cast<int>(posts.size());
  if (complete) return std::max(0, total - seen);
  return std::max(0, std::min(placesRead, std::max(total, seen)) - seen);
}

std::string feedDay(const FeedPost& post) {
  return post.created ? chinaTimeText(*post.created, "%Y-%m-%d") : "";
}

FeedPageReply requestFeedPage(Context& context, const Text& owner, int position) {
  Program& program = context.program;
  const ListingReply reply =
      requestListing(context, feedPageUrl(program.hosts, program.credentials.get(), owner, position),
                     kFeedFloor, kFeedPageShape, feedRequestOptions(program.hosts, owner));
  FeedPageReply page{std::nullopt, reply.verdict, reply.waitedOut};
  if (reply.usable()) page.page = readFeedPage(reply.text, position);
  if (reply.usable() && !page.page) page.verdict = {ReplyProblem::broken, Utf8ToGbk("回复不是说说列表")};
  return page;
}

FeedRead readFeed(Context& context, const Text& owner, const std::function<bool(const FeedPost&)>& saved) {
  FeedRead read;
  read.owner = owner;
  int pauseMs = kFeedPagePauseMs;
  for (int position = 0; position < kMostPlaces; position += kFeedPageSize) {
    if (position > 0) WaitWithMessages(context, pauseMs);
    const FeedPageReply reply = requestFeedPage(context, owner, position);
    if (reply.waitedOut > 0) pauseMs = std::min(pauseMs * 2, kFeedLongestPauseMs);
    const std::optional<FeedPage>& page = reply.page;
    if (!page) {
      read.failure = reply.verdict;
      return read;
    }
    read.total = std::max(read.total, page->total);
    if (page->posts.empty()) {
      read.complete = true;
      showRead(context, read);
      return read;
    }
    read.placesRead = position + kFeedPageSize;
    read.posts.insert(read.posts.end(), page->posts.begin(), page->posts.end());
    showRead(context, read);
    if (saved && savedUpTo(page->posts, read.posts, saved)) {
      read.stoppedAtSaved = true;
      return read;
    }
  }
  return read;
}

FeedPost withAllPictures(Context& context, const Text& owner, FeedPost post, ReplyVerdict& verdict) {
  Program& program = context.program;
  const ListingReply reply =
      requestListing(context, feedPicturesUrl(program.hosts, program.credentials.get(), owner, post.tid),
                     kFeedFloor, kFeedPicturesShape, feedRequestOptions(program.hosts, owner));
  verdict = reply.verdict;
  if (!reply.usable()) return post;
  std::optional<std::vector<FeedMedia>> pictures = readPostPictures(reply.text);
  if (!pictures || pictures->empty()) {
    verdict = {ReplyProblem::broken, Utf8ToGbk("回复里没有图片列表")};
    return post;
  }
  std::vector<FeedMedia> media = std::move(*pictures);
  // Bare addresses say nothing of which picture they are: the list's own items do, in order.
  for (std::size_t i = 0; i < media.size() && i < static_cast<std::size_t>(post.pictureItems); ++i) {
    if (!media[i].id.empty()) continue;
    media[i].id = post.media[i].id;
    media[i].width = media[i].width > 0 ? media[i].width : post.media[i].width;
    media[i].height = media[i].height > 0 ? media[i].height : post.media[i].height;
  }
  const int items = static_cast<int>(media.size());
  media.insert(media.end(), post.media.begin() + post.pictureItems, post.media.end());
  post.media = std::move(media);
  post.pictureItems = post.pictureTotal = items;
  return post;
}

}  // namespace fotolun
