#include <string>

#include "albums/route_lookup.h"
#include "download/album_listing.h"
#include "download/listed_photos.h"
#include "download/photo_listing.h"
#include "download/photo_progress.h"
#include "download/random_fraction_text.h"
#include "download/service_get.h"

namespace fotolun {
namespace {

constexpr int kListingAttempts = 10;
constexpr int kPhotoPauseMs = 100;

Text albumViewUrl(Context& context, const AlbumJob& job, const Text& host, const Text& t) {
  const SessionCredentials session = context.program.credentials.get();
  return ConcatText("http://", host,
                    "/cgi-bin/common/cgi_view_album_v2?inCharset=gbk&outCharset=gbk&format=json&plat=qzone"
                    "&source=qzone&idcNum=0&hostUin=",
                    context.program.targetNumber.get(), "&albumId=", job.albumId, "&t=", t,
                    "&g_tk=", session.gTk, "&uin=", session.uin);
}

Text askStorageHost(Context& context, const AlbumJob& job) {
  context.checkpoint();
  const Text host = lookupAlbumHost(context);
  return requestListingText(context, albumViewUrl(context, job, host, randomFractionText()),
                            kListingAttempts);
}

// The full-size address when the listing gives one; an empty or null raw member falls back to
// the ordinary address rather than requesting "null".
Text photoAddress(const PhotoListing& listing, int index) {
  const Text raw = ReplaceText(listing.memberText(index, "raw"), "\"", "");
  if (!raw.empty() && raw != "null") return ReplaceText(raw, "\\", "");
  return addressFromJsonText(listing.memberText(index, "url"));
}

}  // namespace

void downloadFullSizeAlbum(Context& context, PhotoStore& photos, const AlbumJob& job) {
  Form& form = context.form;
  form.setText(Control::标签_进度条比例, "");
  startAlbumProgress(context, job.photoCountText);
  form.appendLog(albumOpeningLine(job.albumName));
  const Text folder = photos.prepareAlbumFolder(job.photoCountText, job.albumName);

  Text reply = askStorageHost(context, job);
  if (reply.empty()) reply = askStorageHost(context, job);
  const PhotoListing listing(reply, "pic");
  storeListedPhotos(context, photos, job, folder, listing, 0, ProgressStyle::countSlashPosition,
                    kPhotoPauseMs, [&](int index) { return photoAddress(listing, index); });
  form.appendLog(albumClosingLine(job.albumName, 3));
  form.setText(Control::标签_第多少张照片, "");
}

}  // namespace fotolun
