#include <string>

#include "download/album_listing.h"
#include "download/listed_photos.h"
#include "download/photo_listing.h"
#include "download/photo_progress.h"
#include "download/service_get.h"

namespace fotolun {
namespace {

constexpr int kListingAttempts = 5;
constexpr int kPhotoPauseMs = 200;

// The group number is read for every page, so editing 编辑框_号码 during a run changes the group
// asked for on the following pages.
Text groupPageUrl(Context& context, const AlbumJob& job, const Text& start) {
  const Text group = context.form.text(Control::编辑框_号码);
  const SessionCredentials session = context.program.credentials.get();
  return ConcatText(
      "http://", context.program.hosts.groupPhoto,
      "/cgi-bin/upp/qun_list_photo_v2?getCommentCnt=5&format=json&platform=qzone&inCharset=utf-8"
      "&outCharset=utf-8&source=jsapi&qunId=",
      group, "&albumId=", job.albumId, "&uin=", session.uin, "&g_tk=", session.gTk, "&start=", start,
      "&num=", "500");
}

}  // namespace

void downloadGroupAlbumPages(Context& context, PhotoStore& photos, const AlbumJob& job) {
  Form& form = context.form;
  startAlbumProgress(context, job.photoCountText);
  form.appendLog(albumOpeningLine(job.albumName));
  const int pages = photoCountOf(job.photoCountText) / kPhotoPageSize + 1;
  const Text folder = photos.prepareAlbumFolder(job.photoCountText, job.albumName);

  for (int page = 1; page <= pages; ++page) {
    const Text start = std::to_string((page - 1) * kPhotoPageSize);
    const Text reply = requestListingText(context, groupPageUrl(context, job, start), kListingAttempts);
    const PhotoListing listing(reply, "photos");
    storeListedPhotos(context, photos, job, folder, listing, (page - 1) * kPhotoPageSize,
                      ProgressStyle::ordinalPicture, kPhotoPauseMs, [&](int index) {
                        return ReplaceText(addressFromJsonText(listing.memberText(index, "burl")), "200?w5",
                                           "800?w5");
                      });
  }
  form.appendLog(albumClosingLine(job.albumName, 4));
  form.setText(Control::标签_第多少张照片, "");
}

}  // namespace fotolun
