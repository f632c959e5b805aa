#pragma once
// How a post's pictures are named and told apart: by the day of the post, the post's place among
// that day's posts and the picture's place in the post, so that a folder sorts as the space reads.
#include <string>
#include <vector>

#include "feed/feed_post.h"

namespace fotolun {

// Each post's place among the posts of its day that have pictures or videos, oldest first from 1
// (by index into posts, which are newest first as the list gives them; 0 for a post with none);
// posts of one second keep the list's order.
std::vector<int> dayOrders(const std::vector<FeedPost>& posts);

// "2019-05-01_2_3": the post's day, its place that day, the picture's place in the post (from 1).
// A post without a time is of day "0000-00-00".
std::string feedFileStem(const FeedPost& post, int dayOrder, int mediaOrder);

// "2019", or "0000" for a post without a time: the folder its pictures go in.
std::string feedYear(const FeedPost& post);

// What tells one picture from another across runs: the service's pic_id, else its address
// without host, per-request hints and the one-letter size marker (".../b", ".../o"), so that the
// larger and smaller copies of a picture are the same picture.
std::string feedMediaKey(const FeedMedia& media);

}  // namespace fotolun
