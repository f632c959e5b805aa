#pragma once
// What the https photo viewer tells about photos that the photo list leaves short: the addresses
// of the full-size copy and a video's files. Asked lazily, two hundred photos at a time from the
// first one wanted.
#include <map>
#include <set>

#include "download/album_job.h"
#include "program/program.h"

namespace fotolun {

struct PhotoDetail {
  Text raw;  // each an address, "" when not given
  Text originUrl;
  Text downloadUrl;  // a video's original file
  Text videoUrl;     // a video's playing address: a file or a streaming playlist
  Text videoFormat;  // "mp4", "m3u8", ... as the viewer says
};

class PhotoDetails {
 public:
  PhotoDetails(Context& context, const AlbumJob& job) : context_(context), job_(job) {}

  // The photo's detail (picKey: its lloc), asking the viewer for it and the photos after it when
  // it is not yet known; nullptr when the viewer does not tell. A viewer that gave no usable
  // answer is not asked again for this album; failure() says why.
  const PhotoDetail* find(const Text& picKey);
  const Text& failure() const { return failure_; }

 private:
  Context& context_;
  const AlbumJob& job_;
  std::map<Text, PhotoDetail> known_;
  std::set<Text> asked_;
  Text failure_;  // GBK
};

}  // namespace fotolun
