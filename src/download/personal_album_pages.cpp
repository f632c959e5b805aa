#include <string>

#include "albums/route_lookup.h"
#include "download/album_listing.h"
#include "download/listed_photos.h"
#include "download/photo_listing.h"
#include "download/photo_progress.h"
#include "download/service_get.h"
#include "text/random_text.h"

namespace fotolun {
namespace {

constexpr int kListingAttempts = 10;
constexpr int kPhotoPauseMs = 100;

Text primaryPageUrl(Context& context, const AlbumJob& job, const Text& start) {
  const SessionCredentials session = context.program.credentials.get();
  const Text t = std::to_string(RandomInRange(100000000, 999999999));
  return ConcatText("http://", context.program.hosts.personalSpace,
                    "/p/plist.photo/fcgi-bin/cgi_list_photo?t=", t,
                    "&mode=0&idcNum=0&hostUin=", context.program.targetNumber.get(), "&topicId=", job.albumId,
                    "&noTopic=0&uin=", session.uin, "&pageStart=", start, "&pageNum=", "500",
                    "&skipCmtCount=0&singleurl=1&batchId=&notice=0&appid=4&inCharset=utf-8&outCharset=utf-8"
                    "&source=qzone&plat=qzone&outstyle=json&format=json&json_esc=1&question=&answer="
                    "&callbackFun=shine0&g_tk=",
                    session.gTk);
}

Text fallbackPageUrl(Context& context, const AlbumJob& job, const Text& host, const Text& start) {
  const SessionCredentials session = context.program.credentials.get();
  return ConcatText("http://", host, "/fcgi-bin/cgi_list_photo?g_tk=", session.gTk,
                    "&callback=shine0_Callback&mode=&idcNum=0&hostUin=", context.program.targetNumber.get(),
                    "&topicId=", job.albumId, "&noTopic=0&uin=", session.uin, "&pageStart=", start,
                    "&pageNum=500&singleurl=1&notice=0&appid=4&inCharset=utf-8&outCharset=utf-8&source=qzone"
                    "&plat=qzone&outstyle=json&format=json&json_esc=1&question=&answer=&callbackFun=shine0");
}

}  // namespace

void downloadPersonalAlbumPages(Context& context, PhotoStore& photos, const AlbumJob& job) {
  Form& form = context.form;
  form.setText(Control::标签_进度条比例, "");
  startAlbumProgress(context, job.photoCountText);
  form.appendLog(albumOpeningLine(job.albumName));
  const int pages = photoCountOf(job.photoCountText) / kPhotoPageSize + 1;
  const Text folder = photos.prepareAlbumFolder(job.photoCountText, job.albumName);

  for (int page = 1; page <= pages; ++page) {
    const Text start = std::to_string((page - 1) * kPhotoPageSize);
    Text reply = requestListingText(context, primaryPageUrl(context, job, start), kListingAttempts);
    if (reply.empty()) {
      context.checkpoint();
      const Text host = lookupAlbumHost(context);
      reply = requestListingText(context, fallbackPageUrl(context, job, host, start), kListingAttempts);
    }
    const PhotoListing listing(reply, "photoList");
    storeListedPhotos(context, photos, job, folder, listing, (page - 1) * kPhotoPageSize,
                      ProgressStyle::countSlashPosition, kPhotoPauseMs,
                      [&](int index) { return addressFromJsonText(listing.memberText(index, "url")); });
  }
  form.appendLog(albumClosingLine(job.albumName, 3));
  form.setText(Control::标签_第多少张照片, "");
}

}  // namespace fotolun
