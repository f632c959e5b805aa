#include <string>

#include "download/album_listing.h"
#include "download/listed_photos.h"
#include "download/photo_progress.h"
#include "service/listing_request.h"
#include "story/photo_listing.h"

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
  const Text folder = photos.prepareAlbumFolder(job);
  const bool whole = storePagedPhotos(
      context, photos, job, folder, ReplyShape{"photos"}, kPageStyle,
      [&](const Text& start) {
        return requestListing(context, groupPageUrl(context, job, start), kListingFloor,
                              ReplyShape{"photos"});
      },
      [&](const PhotoListing& listing, int index) {
        if (auto video = listedGroupVideoSource(context, listing, index)) return *std::move(video);
        return PhotoSource(
            ReplaceText(addressFromJsonText(listing.memberText(index, "burl")), "200?w5", "800?w5"));
      });
  photos.finishAlbum(folder, job.albumName, whole);
  form.appendLog(albumClosingLine(job.albumName, 4));
  form.setText(Control::标签_第多少张照片, "");
  return whole;
}

}  // namespace fotolun
