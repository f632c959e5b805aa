#pragma once
// The three photo listings: each downloads one album of the run, on the run's worker, and says
// whether the service listed the whole album (false: a listing failed and was logged). A session
// the service no longer knows ends the listing with SessionEnded.
#include <optional>

#include "download/album_job.h"
#include "download/listed_photos.h"
#include "download/listing_outcome.h"
#include "download/photo_details.h"
#include "download/photo_store.h"
#include "program/program.h"

namespace fotolun {

// A personal album at HD size: its photo list in pages of 500 from the personal-space host, a
// page the host does not answer asked again of the album's storage host.
bool downloadPersonalAlbumPages(Context& context, PhotoStore& photos, const AlbumJob& job);

// A personal album at full size: its whole photo list at once from the storage host, each photo
// at its full-size address where the listing gives one.
bool downloadFullSizeAlbum(Context& context, PhotoStore& photos, const AlbumJob& job);

// A group album: its photo list in pages of 500 from the group-photo host, each photo at the
// 800-pixel size.
bool downloadGroupAlbumPages(Context& context, PhotoStore& photos, const AlbumJob& job);

// The same three on the https endpoint family: a personal album at HD or full size, its photo
// list in pages of 500, the photo viewer asked for videos and for full-size addresses the list
// does not give; a group album likewise. A video entry is saved as its video file.
bool downloadCurrentPersonalAlbum(Context& context, PhotoStore& photos, const AlbumJob& job, bool original);
bool downloadCurrentGroupAlbum(Context& context, PhotoStore& photos, const AlbumJob& job);

// An entry the older listings mark as a video (is_video, phototype "video"; a group's videodata)
// is the video, never its cover: its file as the https family finds it (the photo viewer for a
// personal album, videodata for a group's), else why it cannot be saved. nullopt: not a video.
std::optional<PhotoSource> listedVideoSource(Context& context, PhotoDetails& details,
                                             const PhotoListing& listing, int index);
std::optional<PhotoSource> listedGroupVideoSource(Context& context, const PhotoListing& listing, int index);

// The log lines around an album; the personal listings close with three hyphens, the group one
// with four.
Text albumOpeningLine(const Text& albumName);
Text albumClosingLine(const Text& albumName, int hyphens);

}  // namespace fotolun
