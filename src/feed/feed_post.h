#pragma once
// A space's posts as the feed lists them, read from one page of the list. Texts are the UTF-8
// the service sent; addresses are as given, escapes undone.
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace fotolun {

// One picture or video of a post. copies runs from the largest copy to the smallest the post
// offers (url3, url2, url1); a video's copies is its file alone.
struct FeedMedia {
  std::string id;  // pic_id, "" when the post gives none
  std::vector<std::string> copies;
  int width = 0;  // the picture's size as listed, 0 unknown
  int height = 0;
  bool video = false;
};

struct FeedPost {
  std::string tid;
  std::string content;
  std::optional<std::time_t> created;
  // A forwarded post: whose it was and what it said (its pictures are among media).
  std::string forwardedFrom;
  std::string forwardedContent;
  int pictureTotal = 0;  // pictotal: more than pic[] holds when the list gives only the first ones
  // pic[]'s items (pictures and videos) first, then the videos only video[] names.
  std::vector<FeedMedia> media;
  int pictureItems = 0;  // how many of media came from pic[]
  int pagePosition = 0;  // pos of the page that listed it, to ask that page again

  // What the post says, the forwarded post's words after its own.
  std::string description() const;
  // Pictures the list left out, to be asked of the post's own picture list.
  bool picturesLeftOut() const;
  int mediaCount() const;  // what the post holds to be saved, those left out counted
};

struct FeedPage {
  int total = 0;  // posts of the space, those the asker may not see too
  std::vector<FeedPost> posts;
};

// A page of the list (the JSON inside its JSONP call); nullopt when it is not one. A page whose
// msglist is null or empty holds no posts: the list's end.
std::optional<FeedPage> readFeedPage(const std::string& utf8Json, int pagePosition);

// A post's whole picture list (imageUrls), items like the list's pictures or bare addresses;
// nullopt when the reply holds none.
std::optional<std::vector<FeedMedia>> readPostPictures(const std::string& utf8Json);

}  // namespace fotolun
