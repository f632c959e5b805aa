#pragma once
// Reading a space's whole list of posts, page after page, at the pace the service allows.
#include <functional>
#include <vector>

#include "feed/feed_post.h"
#include "program/program.h"
#include "service/reply_verdict.h"

namespace fotolun {

struct FeedRead {
  Text owner;  // GBK, the space's number
  int total = 0;
  std::vector<FeedPost> posts;  // those the asker may see, newest first
  int placesRead = 0;           // places of the pages read, hidden posts' too
  bool complete = false;        // read to the list's end
  bool stoppedAtSaved = false;  // ended early at posts an earlier run saved
  // The page that got no usable answer and ended the reading; usable when none did.
  ReplyVerdict failure;

  // Posts the pages read held but did not show to this asker.
  int hidden() const;
};

// The first pause between two pages, and the longest one a busy service makes it grow to.
inline constexpr int kFeedPagePauseMs = 3000;
inline constexpr int kFeedLongestPauseMs = 60000;

// The day a post was made, "2019-05-01" in China time; "" without a time.
std::string feedDay(const FeedPost& post);

// One page of owner's posts, its places from position on: the page, else why there is none.
struct FeedPageReply {
  std::optional<FeedPage> page;
  ReplyVerdict verdict;
  int waitedOut = 0;  // answers waited out before this one (ListingReply::waitedOut)
};
FeedPageReply requestFeedPage(Context& context, const Text& owner, int position);

// Reads owner's posts from the first page on, showing posts read of the total as it goes, with
// a pause between pages that doubles (up to kFeedLongestPauseMs) after every page the service was
// busy or silent for. With saved, the reading ends at the first page whose posts with pictures are all
// saved, once no post still to be saved shares a day with that page's last post (the day's
// order must be known whole). A page without a usable answer ends it (FeedRead::failure).
FeedRead readFeed(Context& context, const Text& owner,
                  const std::function<bool(const FeedPost&)>& saved = {});

// A post's every picture, for one whose list left some out: from the post's own picture list,
// keeping the videos the list gave; the post as listed when that list gets no usable answer
// (verdict says why).
FeedPost withAllPictures(Context& context, const Text& owner, FeedPost post, ReplyVerdict& verdict);

}  // namespace fotolun
