#include "download/listed_photos.h"

#include <algorithm>
#include <string>
#include <vector>

#include "download/listing_outcome.h"
#include "download/parallel_photos.h"
#include "download/photo_time.h"
#include "story/photo_story.h"

namespace fotolun {

void storeListedPhotos(Context& context, PhotoStore& photos, const AlbumJob& job, const Text& folder,
                       const PhotoListing& listing, int positionBefore, const PageStyle& style,
                       const std::function<PhotoSource(int index)>& sourceOf) {
  std::vector<ListedPhoto> listed(static_cast<std::size_t>(std::max(0, listing.count())));
  for (int j = 1; j <= listing.count(); ++j) {
    ListedPhoto& photo = listed[static_cast<std::size_t>(j - 1)];
    PhotoSource source = sourceOf(j - 1);
    photo.url = std::move(source.url);
    photo.kind = source.kind;
    photo.requestHeaders = std::move(source.requestHeaders);
    photo.unavailable = std::move(source.unavailable);
    photo.name = photoNameFromJsonText(listing.memberText(j - 1, "name"));
    photo.index = j;
    photo.identity = photoIdentity(style.kind, listing.memberText(j - 1, "lloc"),
                                   listing.memberText(j - 1, "sloc"), photo.url);
    photo.time =
        photoTime(listing.memberText(j - 1, "rawshoottime"), listing.memberText(j - 1, "uploadtime"));
    photo.story = photoStoryOf(listing, j - 1);
  }
  const auto showProgress = [&](std::size_t index) {
    showPhotoProgress(context, job.photoCountText, positionBefore + static_cast<int>(index) + 1,
                      style.progress);
  };
  std::size_t first = 0;
  if (photos.parallelPhotos() > 1 && photos.folderUsable(folder) && listed.size() > 1)
    first = storePhotosAtOnce(context, photos, job.albumId, folder, listed, style.pauseMs, showProgress);
  for (std::size_t index = first; index < listed.size(); ++index) {
    showProgress(index);
    if (!listed[index].unavailable.empty()) {
      photos.reportUnavailable(listed[index]);
    } else if (!photos.skipSaved(folder, listed[index])) {
      photos.storePhoto(listed[index], job.albumId, folder, style.pauseMs);
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
