#include "download/listed_photos.h"

#include <algorithm>
#include <string>
#include <vector>

#include "download/listing_outcome.h"
#include "download/parallel_photos.h"
#include "story/photo_story.h"
#include "story/photo_time.h"
#include "text/encoding.h"

namespace fotolun {

namespace {

constexpr const char* kPhotoKeyCookie = "qq_photo_key";

int listedNumber(const PhotoListing& listing, int index, const char* member) {
  const Text text = listing.memberText(index, member);
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9' || value > 1'000'000) return 0;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::vector<ListedPhoto> listedPhotos(const PhotoListing& listing, const PageStyle& style,
                                      const SourceOf& sourceOf) {
  std::vector<ListedPhoto> listed(static_cast<std::size_t>(std::max(0, listing.count())));
  for (int j = 1; j <= listing.count(); ++j) {
    ListedPhoto& photo = listed[static_cast<std::size_t>(j - 1)];
    PhotoSource source = sourceOf(listing, j - 1);
    photo.url = std::move(source.url);
    photo.kind = source.kind;
    photo.requestHeaders = std::move(source.requestHeaders);
    photo.asBrowser = source.asBrowser;
    photo.unavailable = std::move(source.unavailable);
    if (!source.fallbackUrl.empty()) photo.otherCopies.push_back(std::move(source.fallbackUrl));
    photo.name = photoNameFromJsonText(listing.memberText(j - 1, "name"));
    photo.index = j;
    photo.identity = photoIdentity(style.kind, listing.memberText(j - 1, "lloc"),
                                   listing.memberText(j - 1, "sloc"), photo.url);
    photo.time =
        photoTime(listing.memberText(j - 1, "rawshoottime"), listing.memberText(j - 1, "uploadtime"));
    photo.listedWidth = listedNumber(listing, j - 1, "width");
    photo.listedHeight = listedNumber(listing, j - 1, "height");
    photo.story = photoStoryOf(listing, j - 1);
  }
  return listed;
}

// The photos that came back as placeholders, asked once more at the addresses a fresh listing
// gives them (the service ties its photo key to the addresses of one reply). A photo the fresh
// listing no longer holds, or that is a placeholder again, fails as one.
void retryPlaceholders(Context& context, PhotoStore& photos, const Text& albumId, const Text& folder,
                       std::vector<ListedPhoto> deferred, int pauseMs,
                       const std::function<std::vector<ListedPhoto>()>& relisted) {
  context.form.appendLog(Utf8ToGbk("有") + std::to_string(deferred.size()) +
                         Utf8ToGbk("张图片服务给出了占位图，重新获取列表后再试一次\r\n"));
  // The service ties its one-time photo key to the addresses of one list: without the key the
  // list hands out a fresh one with fresh addresses.
  context.program.sessionJar.forget(kPhotoKeyCookie);
  const std::vector<ListedPhoto> fresh = relisted ? relisted() : std::vector<ListedPhoto>{};
  for (ListedPhoto& photo : deferred) {
    const auto again = std::find_if(fresh.begin(), fresh.end(), [&](const ListedPhoto& candidate) {
      return photo.identity.key.empty() ? candidate.index == photo.index
                                        : candidate.identity.key == photo.identity.key;
    });
    if (again == fresh.end() || !again->unavailable.empty()) {
      photos.failPlaceholder(photo);
      continue;
    }
    // The name and place stay those of the first listing, so the log and the files agree.
    photo.url = again->url;
    photo.requestHeaders = again->requestHeaders;
    photo.otherCopies = again->otherCopies;
    if (!photos.skipSaved(folder, photo)) photos.storePhoto(photo, albumId, folder, pauseMs);
    LetMessagesRun(context);
  }
}

}  // namespace

void storePhotoList(Context& context, PhotoStore& photos, const Text& albumId, const Text& folder,
                    const std::vector<ListedPhoto>& listed, int pauseMs,
                    const std::function<void(std::size_t index)>& showProgress,
                    const std::function<std::vector<ListedPhoto>()>& relisted) {
  photos.deferPlaceholders(true);
  std::size_t first = 0;
  if (photos.parallelPhotos() > 1 && photos.folderUsable(folder) && listed.size() > 1)
    first = storePhotosAtOnce(context, photos, albumId, folder, listed, pauseMs, showProgress);
  for (std::size_t index = first; index < listed.size(); ++index) {
    showProgress(index);
    if (!listed[index].unavailable.empty()) {
      photos.reportUnavailable(listed[index]);
    } else if (photos.manyPlaceholders() && !photos.recordedSaved(folder, listed[index])) {
      // Fetching on would most likely give more of the same.
      photos.deferPhoto(listed[index]);
    } else if (!photos.skipSaved(folder, listed[index])) {
      photos.storePhoto(listed[index], albumId, folder, pauseMs);
    }
    LetMessagesRun(context);
  }
  photos.deferPlaceholders(false);
  std::vector<ListedPhoto> deferred = photos.takeDeferred();
  if (!deferred.empty())
    retryPlaceholders(context, photos, albumId, folder, std::move(deferred), pauseMs, relisted);
}

void storeListedPhotos(Context& context, PhotoStore& photos, const AlbumJob& job, const Text& folder,
                       const PhotoListing& listing, int positionBefore, const PageStyle& style,
                       const SourceOf& sourceOf, const ReplyShape& shape,
                       const std::function<ListingReply()>& relist) {
  const auto showProgress = [&](std::size_t index) {
    showPhotoProgress(context, job.photoCountText, positionBefore + static_cast<int>(index) + 1,
                      style.progress);
  };
  const auto relisted = [&] {
    const ListingReply reply = relist ? relist() : ListingReply{};
    if (!reply.usable()) return std::vector<ListedPhoto>{};
    const PhotoListing fresh(reply.text, shape.listMember, shape.otherListMembers);
    return listedPhotos(fresh, style, sourceOf);
  };
  storePhotoList(context, photos, job.albumId, folder, listedPhotos(listing, style, sourceOf), style.pauseMs,
                 showProgress, relisted);
}

bool storePagedPhotos(Context& context, PhotoStore& photos, const AlbumJob& job, const Text& folder,
                      const ReplyShape& shape, const PageStyle& style,
                      const std::function<ListingReply(const Text& start)>& requestPage,
                      const SourceOf& sourceOf) {
  const int count = photoCountOf(job.photoCountText);
  bool whole = true;
  for (int page = 1;; ++page) {
    const int before = (page - 1) * kPhotoPageSize;
    const ListingReply reply = requestPage(std::to_string(before));
    int listed = -1;
    if (reply.usable()) {
      const PhotoListing listing(reply.text, shape.listMember, shape.otherListMembers);
      storeListedPhotos(context, photos, job, folder, listing, before, style, sourceOf, shape,
                        [&] { return requestPage(std::to_string(before)); });
      listed = listing.count();
    } else {
      whole = false;
      reportListingFailure(context, job, reply.verdict);
    }
    if (!wantsNextPage(page, listed, count)) return whole;
  }
}

}  // namespace fotolun
