#include "download/listed_photos.h"

namespace fotolun {

void storeListedPhotos(Context& context, PhotoStore& photos, const AlbumJob& job, const Text& folder,
                       const PhotoListing& listing, int positionBefore, ProgressStyle style, int pauseMs,
                       const std::function<Text(int index)>& addressOf) {
  for (int j = 1; j <= listing.count(); ++j) {
    showPhotoProgress(context, job.photoCountText, positionBefore + j, style);
    const Text url = addressOf(j - 1);
    const Text name = photoNameFromJsonText(listing.memberText(j - 1, "name"));
    photos.storePhoto(url, job.albumId, folder, name, j, pauseMs);
    LetMessagesRun(context);
  }
}

}  // namespace fotolun
