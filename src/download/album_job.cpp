#include "download/album_job.h"

#include <climits>
#include <string>

#include "names/unknown_names.h"
#include "text/encoding.h"

namespace fotolun {

Text joinAlbumJob(const AlbumJob& job) {
  return ConcatText(job.photoCountText, kAlbumJobSeparator, job.albumId, kAlbumJobSeparator, job.albumName);
}

AlbumJob splitAlbumJob(const Text& joined) {
  const std::vector<Text> pieces = SplitText(joined, kAlbumJobSeparator);
  AlbumJob job;
  if (pieces.size() > 0) job.photoCountText = pieces[0];
  if (pieces.size() > 1) job.albumId = pieces[1];
  if (pieces.size() > 2) job.albumName = pieces[2];
  return job;
}

int photoCountOf(const Text& photoCountText) {
  long long value = 0;
  for (const char ch : photoCountText) {
    if (ch < '0' || ch > '9') break;
    value = value * 10 + (ch - '0');
    if (value >= INT_MAX) return INT_MAX;
  }
  return static_cast<int>(value);
}

Text albumNameOrUnknown(const Text& nameCell, const Text& albumId) {
  Text name = TrimSpaces(nameCell);
  if (name.empty()) name = unnamedRowName(albumId);
  return name;
}

}  // namespace fotolun
