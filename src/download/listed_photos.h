#pragma once
#include <functional>

#include "download/album_job.h"
#include "download/photo_listing.h"
#include "download/photo_progress.h"
#include "download/photo_store.h"
#include "program/program.h"

namespace fotolun {

// Stores every photo of one listed page into folder: the progress display moves to
// positionBefore + j for photo j, the photo comes from addressOf(j - 1) and is named after its
// title with its index j on the page, then pauseMs passes before the next one.
void storeListedPhotos(Context& context, PhotoStore& photos, const AlbumJob& job, const Text& folder,
                       const PhotoListing& listing, int positionBefore, ProgressStyle style, int pauseMs,
                       const std::function<Text(int index)>& addressOf);

}  // namespace fotolun
