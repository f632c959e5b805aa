#include <string>

#include "download/album_listing.h"
#include "download/listed_photos.h"
#include "download/photo_progress.h"
#include "download/random_fraction_text.h"
#include "service/listing_request.h"
#include "service/route_lookup.h"
#include "story/photo_listing.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

constexpr RetryFloor kListingFloor{10, 2000};
constexpr PageStyle kPageStyle{ProgressStyle::countSlashPosition, 100, CopyKind::original};

Text albumViewUrl(Context& context, const AlbumJob& job, const Text& host, const Text& t) {
  const SessionCredentials session = context.program.credentials.get();
  return ConcatText("http://", host,
                    "/cgi-bin/common/cgi_view_album_v2?inCharset=gbk&outCharset=gbk&format=json&plat=qzone"
                    "&source=qzone&idcNum=0&hostUin=",
                    job.personalOwner, "&albumId=", job.albumId, "&t=", t, "&g_tk=", session.gTk,
                    "&uin=", session.uin);
}

ListingReply askStorageHost(Context& context, const AlbumJob& job, RetryFloor floor) {
  context.checkpoint();
  const Text host = lookupAlbumHost(context, job.personalOwner);
  if (host.empty()) {
    return ListingReply{"", ReplyVerdict{ReplyProblem::unanswered, Utf8ToGbk("没有找到存放相册的服务器")}};
  }
  return requestListing(context, albumViewUrl(context, job, host, randomFractionText()), floor,
                        ReplyShape{"pic"});
}

// The full-size address when the listing gives one; an empty or null raw member falls back to
// the ordinary address rather than requesting "null".
Text photoAddress(const PhotoListing& listing, int index) {
  const Text raw = ReplaceText(listing.memberText(index, "raw"), "\"", "");
  if (!raw.empty() && raw != "null") return ReplaceText(raw, "\\", "");
  return addressFromJsonText(listing.memberText(index, "url"));
}

}  // namespace

bool downloadFullSizeAlbum(Context& context, PhotoStore& photos, const AlbumJob& job) {
  Form& form = context.form;
  form.setText(Control::标签_进度条比例, "");
  startAlbumProgress(context, job.photoCountText);
  form.appendLog(albumOpeningLine(job.albumName));
  const Text folder = photos.prepareAlbumFolder(job);

  // A storage host that gives no answer is looked up and asked once more, with a new t.
  ListingReply reply = askStorageHost(context, job, {kListingFloor.attempts, kListingFloor.pauseMs, false});
  if (reply.verdict.worthRetrying()) reply = askStorageHost(context, job, kListingFloor);
  if (reply.usable()) {
    const PhotoListing listing(reply.text, "pic");
    PhotoDetails details(context, job);
    storeListedPhotos(
        context, photos, job, folder, listing, 0, kPageStyle,
        [&](const PhotoListing& from, int index) {
          if (auto video = listedVideoSource(context, details, from, index)) return *std::move(video);
          return PhotoSource(photoAddress(from, index));
        },
        ReplyShape{"pic"}, [&] { return askStorageHost(context, job, kListingFloor); });
  } else {
    reportListingFailure(context, job, reply.verdict);
  }
  photos.finishAlbum(folder, job.albumName, reply.usable());
  form.appendLog(albumClosingLine(job.albumName, 3));
  form.setText(Control::标签_第多少张照片, "");
  return reply.usable();
}

}  // namespace fotolun
