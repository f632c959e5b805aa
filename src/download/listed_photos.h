#pragma once
#include <functional>

#include "download/album_job.h"
#include "download/photo_identity.h"
#include "download/photo_listing.h"
#include "download/photo_progress.h"
#include "download/photo_store.h"
#include "program/program.h"

namespace fotolun {

// How one listing stores its pages.
struct PageStyle {
  ProgressStyle progress;
  int pauseMs;    // after each photo request
  CopyKind kind;  // which copy of the photos the listing gives
};

// Stores every photo of one listed page into folder: the progress display moves to
// positionBefore + j for photo j, the photo comes from addressOf(j - 1) and is named after its
// title with its index j on the page, then the pause passes before the next one. A photo the
// folder's record says is already there is skipped without a request or a pause.
void storeListedPhotos(Context& context, PhotoStore& photos, const AlbumJob& job, const Text& folder,
                       const PhotoListing& listing, int positionBefore, const PageStyle& style,
                       const std::function<Text(int index)>& addressOf);

}  // namespace fotolun
