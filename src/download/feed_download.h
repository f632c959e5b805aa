#pragma once
// What a space posted outside its albums, saved a year to a folder: the download's side of the
// list of posts (feed/).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "download/album_job.h"
#include "download/photo_store.h"
#include "feed/feed_reader.h"

namespace fotolun {

// One year of posts as the album list shows it: its row stands for an album.
struct FeedYear {
  std::string year;  // "2019"
  int posts = 0;     // posts with something to save
  int pictures = 0;
  int videos = 0;
};
// The years that have something to save, newest first.
std::vector<FeedYear> feedYears(const FeedRead& read);

// A year's row names its album "feed-2019"; the year of such an id, nullopt for any other album.
Text feedAlbumId(const std::string& year);
std::optional<std::string> yearOfFeedAlbum(const Text& albumId);
// The row's name: "说说 2019".
Text feedAlbumName(const std::string& year);

// Whether an earlier run saved all of a post's pictures (those the list gives) in the folder of
// its year, for a list that reads only new posts. Reads each year's record once.
std::function<bool(const FeedPost&)> feedPostsSaved(Context& context, const AlbumJob& job);

// Saves the pictures and videos the owner posted in the job's year into its folder, named by
// post day, the post's place that day and the picture's place in the post, dated by the post,
// described by its words. The posts are those the last list read of the owner's, else read
// anew. True when the posts were read whole and every post's pictures listed.
bool downloadFeedYear(Context& context, PhotoStore& photos, const AlbumJob& job);

}  // namespace fotolun
