#include "download/listed_photos.h"

#include <string>

#include "download/listing_outcome.h"
#include "download/photo_time.h"

namespace fotolun {

void storeListedPhotos(Context& context, PhotoStore& photos, const AlbumJob& job, const Text& folder,
                       const PhotoListing& listing, int positionBefore, const PageStyle& style,
                       const std::function<PhotoSource(int index)>& sourceOf) {
  for (int j = 1; j <= listing.count(); ++j) {
    showPhotoProgress(context, job.photoCountText, positionBefore + j, style.progress);
    PhotoSource source = sourceOf(j - 1);
    ListedPhoto photo;
    photo.url = std::move(source.url);
    photo.kind = source.kind;
    photo.requestHeaders = std::move(source.requestHeaders);
    photo.name = photoNameFromJsonText(listing.memberText(j - 1, "name"));
    photo.index = j;
    photo.identity = photoIdentity(style.kind, listing.memberText(j - 1, "lloc"),
                                   listing.memberText(j - 1, "sloc"), photo.url);
    photo.time =
        photoTime(listing.memberText(j - 1, "rawshoottime"), listing.memberText(j - 1, "uploadtime"));
    if (!source.unavailable.empty()) {
      photos.reportUnavailable(photo, source.unavailable);
    } else if (!photos.skipSaved(folder, photo)) {
      photos.storePhoto(photo, job.albumId, folder, style.pauseMs);
    }
    LetMessagesRun(context);
  }
}

bool storePagedPhotos(Context& context, PhotoStore& photos, const AlbumJob& job, const Text& folder,
                      const ReplyShape& shape, const PageStyle& style,
                      const std::function<ListingReply(const Text& start)>& requestPage,
                      const std::function<PhotoSource(const PhotoListing& listing, int index)>& sourceOf) {
  const int count = photoCountOf(job.photoCountText);
  bool whole = true;
  for (int page = 1;; ++page) {
    const int before = (page - 1) * kPhotoPageSize;
    const ListingReply reply = requestPage(std::to_string(before));
    int listed = -1;
    if (reply.usable()) {
      const PhotoListing listing(reply.text, shape.listMember, shape.otherListMembers);
      storeListedPhotos(context, photos, job, folder, listing, before, style,
                        [&](int index) { return sourceOf(listing, index); });
      listed = listing.count();
    } else {
      whole = false;
      reportListingFailure(context, job, reply.verdict);
    }
    if (!wantsNextPage(page, listed, count)) return whole;
  }
}

}  // namespace fotolun
