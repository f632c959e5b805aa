#include <string>

#include "download/album_listing.h"
#include "download/listed_photos.h"
#include "download/photo_progress.h"
#include "service/listing_request.h"
#include "service/route_lookup.h"
#include "story/photo_listing.h"
#include "text/random_text.h"

namespace fotolun {
namespace {

constexpr RetryFloor kListingFloor{10, 2000};
// The personal-space host is not waited out when silent: the storage host is asked next.
constexpr RetryFloor kPrimaryFloor{10, 2000, false};
constexpr ReplyShape kPhotoPage{"photoList"};
constexpr PageStyle kPageStyle{ProgressStyle::countSlashPosition, 100, CopyKind::hd};

Text primaryPageUrl(Context& context, const AlbumJob& job, const Text& start) {
  const SessionCredentials session = context.program.credentials.get();
  const Text t = std::to_string(RandomInRange(100000000, 999999999));
  return ConcatText("http://", context.program.hosts.personalSpace,
                    "/p/plist.photo/fcgi-bin/cgi_list_photo?t=", t,
                    "&mode=0&idcNum=0&hostUin=", job.personalOwner, "&topicId=", job.albumId,
                    "&noTopic=0&uin=", session.uin, "&pageStart=", start, "&pageNum=", "500",
                    "&skipCmtCount=0&singleurl=1&batchId=&notice=0&appid=4&inCharset=utf-8&outCharset=utf-8"
                    "&source=qzone&plat=qzone&outstyle=json&format=json&json_esc=1&question=&answer="
                    "&callbackFun=shine0&g_tk=",
                    session.gTk);
}

Text fallbackPageUrl(Context& context, const AlbumJob& job, const Text& host, const Text& start) {
  const SessionCredentials session = context.program.credentials.get();
  return ConcatText("http://", host, "/fcgi-bin/cgi_list_photo?g_tk=", session.gTk,
                    "&callback=shine0_Callback&mode=&idcNum=0&hostUin=", job.personalOwner,
                    "&topicId=", job.albumId, "&noTopic=0&uin=", session.uin, "&pageStart=", start,
                    "&pageNum=500&singleurl=1&notice=0&appid=4&inCharset=utf-8&outCharset=utf-8&source=qzone"
                    "&plat=qzone&outstyle=json&format=json&json_esc=1&question=&answer=&callbackFun=shine0");
}

// The personal-space host first; a page it gives no answer for is asked of the storage host.
// A refusal (signed out, no permission) is the service's word and is not asked again elsewhere.
ListingReply requestPage(Context& context, const AlbumJob& job, const Text& start) {
  ListingReply reply =
      requestListing(context, primaryPageUrl(context, job, start), kPrimaryFloor, kPhotoPage);
  if (reply.usable() || reply.verdict.problem == ReplyProblem::notSignedIn) return reply;
  context.checkpoint();
  const Text host = lookupAlbumHost(context, job.personalOwner);
  if (host.empty()) return reply;  // no storage host to ask: the primary's reason stands
  return requestListing(context, fallbackPageUrl(context, job, host, start), kListingFloor, kPhotoPage);
}

}  // namespace

bool downloadPersonalAlbumPages(Context& context, PhotoStore& photos, const AlbumJob& job) {
  Form& form = context.form;
  form.setText(Control::标签_进度条比例, "");
  startAlbumProgress(context, job.photoCountText);
  form.appendLog(albumOpeningLine(job.albumName));
  const Text folder = photos.prepareAlbumFolder(job);
  PhotoDetails details(context, job);
  const bool whole = storePagedPhotos(
      context, photos, job, folder, kPhotoPage, kPageStyle,
      [&](const Text& start) { return requestPage(context, job, start); },
      [&](const PhotoListing& listing, int index) {
        if (auto video = listedVideoSource(context, details, listing, index)) return *std::move(video);
        return PhotoSource(addressFromJsonText(listing.memberText(index, "url")));
      });
  photos.finishAlbum(folder, job.albumName, whole);
  form.appendLog(albumClosingLine(job.albumName, 3));
  form.setText(Control::标签_第多少张照片, "");
  return whole;
}

}  // namespace fotolun
