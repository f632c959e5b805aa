#pragma once
#include <functional>
#include <utility>

#include "download/album_job.h"
#include "download/photo_progress.h"
#include "download/photo_store.h"
#include "program/program.h"
#include "service/listing_request.h"
#include "story/photo_identity.h"
#include "story/photo_listing.h"

namespace fotolun {

// Where one listed photo comes from: its address and what it must be, or why it cannot be fetched.
struct PhotoSource {
  PhotoSource(Text address = {}) : url(std::move(address)) {}  // NOLINT: a picture at an address
  Text url;
  MediaKind kind = MediaKind::picture;
  Text requestHeaders;  // empty: the photo page's own header lines
  Text unavailable;     // GBK: why the entry cannot be saved (a video streamed only as a playlist)
  Text fallbackUrl;     // a video's other file, asked when url gives none
  // Today's service: requestHeaders are a browser's, the cookies go by the rules.
  bool asBrowser = false;
};

// How one listing stores its pages.
struct PageStyle {
  ProgressStyle progress;
  int pauseMs;    // after each photo request
  CopyKind kind;  // which copy of the photos the listing gives
};

// Where a listing's photo j (0-based) comes from.
using SourceOf = std::function<PhotoSource(const PhotoListing& listing, int index)>;

// Stores listed photos into folder in their order, showProgress(j) before photo j: one at a time,
// or several at once as the run allows, a photo the folder's record names skipped, placeholders
// asked again at the addresses of a fresh listing (relisted: matched by identity, else index).
void storePhotoList(Context& context, PhotoStore& photos, const Text& albumId, const Text& folder,
                    const std::vector<ListedPhoto>& listed, int pauseMs,
                    const std::function<void(std::size_t index)>& showProgress,
                    const std::function<std::vector<ListedPhoto>()>& relisted);

// Stores every photo of one listed page into folder: the progress display moves to
// positionBefore + j for photo j, the photo comes from sourceOf(listing, j - 1) and is named after
// its title with its index j on the page, then the pause passes before the next one. A photo the
// folder's record says is already there is skipped without a request or a pause; one that cannot
// be fetched is reported by name and counted as failed. Photos the service answered with its
// placeholder picture are fetched once more from the addresses of a fresh listing of the page
// (relist, whose reply has the page's shape); still a placeholder, they fail.
void storeListedPhotos(Context& context, PhotoStore& photos, const AlbumJob& job, const Text& folder,
                       const PhotoListing& listing, int positionBefore, const PageStyle& style,
                       const SourceOf& sourceOf, const ReplyShape& shape,
                       const std::function<ListingReply()>& relist);

// Pages through the album kPhotoPageSize photos at a time, asking requestPage for the page that
// starts at a position and storing what it lists (the photo at index of a page from addressOf);
// a page without a usable answer is reported and paging goes on while the count says more are
// due. True when every page was listed.
bool storePagedPhotos(Context& context, PhotoStore& photos, const AlbumJob& job, const Text& folder,
                      const ReplyShape& shape, const PageStyle& style,
                      const std::function<ListingReply(const Text& start)>& requestPage,
                      const SourceOf& sourceOf);

}  // namespace fotolun
