#include <string>

#include "download/album_listing.h"
#include "download/listed_photos.h"
#include "download/photo_listing.h"
#include "download/photo_progress.h"
#include "service/listing_request.h"

namespace fotolun {
namespace {

constexpr RetryFloor kListingFloor{5, 2000};
constexpr PageStyle kPageStyle{ProgressStyle::ordinalPicture, 200, CopyKind::group};

Text groupPageUrl(Context& context, const AlbumJob& job, const Text& start) {
  const SessionCredentials session = context.program.credentials.get();
  return ConcatText(
      "http://", context.program.hosts.groupPhoto,
      "/cgi-bin/upp/qun_list_photo_v2?getCommentCnt=5&format=json&platform=qzone&inCharset=utf-8"
      "&outCharset=utf-8&source=jsapi&qunId=",
      job.typedNumber, "&albumId=", job.albumId, "&uin=", session.uin, "&g_tk=", session.gTk,
      "&start=", start, "&num=", "500");
}

}  // namespace

bool downloadGroupAlbumPages(Context& context, PhotoStore& photos, const AlbumJob& job) {
  Form& form = context.form;
  startAlbumProgress(context, job.photoCountText);
  form.appendLog(albumOpeningLine(job.albumName));
  const int count = photoCountOf(job.photoCountText);
  const Text folder = photos.prepareAlbumFolder(job);

  bool whole = true;
  for (int page = 1;; ++page) {
    const Text start = std::to_string((page - 1) * kPhotoPageSize);
    const ListingReply reply =
        requestListing(context, groupPageUrl(context, job, start), kListingFloor, ReplyShape{"photos"});
    int listed = -1;
    if (reply.usable()) {
      const PhotoListing listing(reply.text, "photos");
      storeListedPhotos(
          context, photos, job, folder, listing, (page - 1) * kPhotoPageSize, kPageStyle, [&](int index) {
            return ReplaceText(addressFromJsonText(listing.memberText(index, "burl")), "200?w5", "800?w5");
          });
      listed = listing.count();
    } else {
      whole = false;
      reportListingFailure(context, job, reply.verdict);
    }
    if (!wantsNextPage(page, listed, count)) break;
  }
  photos.finishAlbum(folder, job.albumName);
  form.appendLog(albumClosingLine(job.albumName, 4));
  form.setText(Control::标签_第多少张照片, "");
  return whole;
}

}  // namespace fotolun
