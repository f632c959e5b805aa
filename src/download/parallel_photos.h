#pragma once
// Several photos of a page fetched at once, saved exactly as one at a time would save them.
#include <vector>

#include "download/album_job.h"
#include "download/photo_store.h"
#include "program/program.h"

namespace fotolun {

// Fetches photos with up to photos.parallelPhotos() transfers at once, each stream keeping pause
// after each of its photos, and saves them in listing order: showProgress(j) runs for photo j
// just before its skip, failure or save, so the progress and the log read as one at a time.
// A busy host ends the parallel part: the photos from the first busy one on are left to the
// caller, one at a time, and the stream count drops to 1. Returns how many photos it dealt with
// (the index of the first one it left).
std::size_t storePhotosAtOnce(Context& context, PhotoStore& photos, const Text& albumId, const Text& folder,
                              const std::vector<ListedPhoto>& listed, int pauseMs,
                              const std::function<void(std::size_t index)>& showProgress);

}  // namespace fotolun
