#include "download/listed_photos.h"

#include "download/photo_time.h"

namespace fotolun {

void storeListedPhotos(Context& context, PhotoStore& photos, const AlbumJob& job, const Text& folder,
                       const PhotoListing& listing, int positionBefore, const PageStyle& style,
                       const std::function<Text(int index)>& addressOf) {
  for (int j = 1; j <= listing.count(); ++j) {
    showPhotoProgress(context, job.photoCountText, positionBefore + j, style.progress);
    ListedPhoto photo;
    photo.url = addressOf(j - 1);
    photo.name = photoNameFromJsonText(listing.memberText(j - 1, "name"));
    photo.index = j;
    photo.identity = photoIdentity(style.kind, listing.memberText(j - 1, "lloc"),
                                   listing.memberText(j - 1, "sloc"), photo.url);
    photo.time =
        photoTime(listing.memberText(j - 1, "rawshoottime"), listing.memberText(j - 1, "uploadtime"));
    if (!photos.skipSaved(folder, photo)) photos.storePhoto(photo, job.albumId, folder, style.pauseMs);
    LetMessagesRun(context);
  }
}

}  // namespace fotolun
