// The photo listings of the https endpoint family. They page, name, log, pause and count exactly
// as the older family's listings do; only where the lists come from and how an entry's address
// is chosen differ.
#include <optional>
#include <string>

#include "download/album_listing.h"
#include "download/listed_photos.h"
#include "download/photo_details.h"
#include "download/photo_progress.h"
#include "service/current_endpoints.h"
#include "service/current_headers.h"
#include "service/listing_request.h"
#include "story/photo_listing.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

constexpr RetryFloor kPersonalFloor{10, 2000};
constexpr RetryFloor kGroupFloor{5, 2000};

bool isPlaylist(const Text& url, const Text& format) {
  if (format == "m3u8") return true;
  const Text path = url.substr(0, url.find('?'));
  return path.size() >= 5 && path.compare(path.size() - 5, 5, ".m3u8") == 0;
}

// A video is saved as its file: the original upload where the viewer names one, else the file it
// plays. A video that only streams through a playlist has no file to save.
PhotoSource videoSource(Context&, const Text& fileUrl, const Text& format, const Text& whyNone) {
  PhotoSource source(fileUrl);
  source.kind = MediaKind::video;
  if (fileUrl.empty()) {
    source.unavailable = whyNone.empty() ? Utf8ToGbk("服务没有给出视频地址") : whyNone;
  } else if (isPlaylist(fileUrl, format)) {
    source.unavailable = Utf8ToGbk("只有在线播放列表（m3u8），没有可保存的视频文件");
  }
  return source;
}

// Photos and videos are asked for as the album's page asks for them.
PhotoSource fromAlbumPage(Context& context, const Text& number, PhotoSource source) {
  const PageRequest kind = source.kind == MediaKind::video ? PageRequest::video : PageRequest::picture;
  source.requestHeaders = pageRequestHeaders(kind, albumPageAddress(context.program.hosts, number));
  source.asBrowser = true;
  return source;
}

bool listedAsVideo(const PhotoListing& listing, int index) {
  const Text isVideo = listing.memberText(index, "is_video");
  return isVideo == "true" || isVideo == "1" || listing.memberText(index, "phototype") == "\"video\"";
}

PhotoSource personalSource(Context& context, PhotoDetails& details, const PhotoListing& listing, int index,
                           bool original) {
  const Text lloc = listing.address(index, "lloc");
  if (listedAsVideo(listing, index)) {
    const PhotoDetail* detail = details.find(lloc);
    if (detail == nullptr) return videoSource(context, "", "", details.failure());
    const Text& file = !detail->downloadUrl.empty() ? detail->downloadUrl : detail->videoUrl;
    PhotoSource source =
        videoSource(context, file, detail->downloadUrl.empty() ? detail->videoFormat : "", "");
    // The upload's address may be refused while the copy the service plays is there.
    if (!detail->downloadUrl.empty() && !detail->videoUrl.empty() &&
        detail->videoUrl != detail->downloadUrl && !isPlaylist(detail->videoUrl, detail->videoFormat))
      source.fallbackUrl = detail->videoUrl;
    return source;
  }
  const Text url = listing.address(index, "url");
  if (!original) return url;
  if (listing.memberText(index, "raw_upload") == "1") {
    if (const Text raw = listing.address(index, "raw"); !raw.empty()) return raw;
  }
  if (const Text origin = listing.address(index, "origin_url"); !origin.empty()) return origin;
  // The list names no full-size copy: the viewer may; the ordinary one is the last resort.
  if (const PhotoDetail* detail = details.find(lloc)) {
    if (!detail->raw.empty()) return detail->raw;
    if (!detail->originUrl.empty()) return detail->originUrl;
  }
  return url;
}

PhotoSource groupSource(Context& context, const PhotoListing& listing, int index) {
  if (listing.memberText(index, "videodata") != "null") {
    return videoSource(context, listing.address(index, "videodata", "actionurl"), "", "");
  }
  return ReplaceText(listing.address(index, "burl"), "200?w5", "800?w5");
}

}  // namespace

bool downloadCurrentPersonalAlbum(Context& context, PhotoStore& photos, const AlbumJob& job, bool original) {
  Form& form = context.form;
  Program& program = context.program;
  form.setText(Control::标签_进度条比例, "");
  startAlbumProgress(context, job.photoCountText);
  form.appendLog(albumOpeningLine(job.albumName));
  const Text folder = photos.prepareAlbumFolder(job);
  const PageStyle style{ProgressStyle::countSlashPosition, 100, original ? CopyKind::original : CopyKind::hd};
  PhotoDetails details(context, job);
  const bool whole = storePagedPhotos(
      context, photos, job, folder, kCurrentPhotoShape, style,
      [&](const Text& start) {
        const SessionCredentials session = program.credentials.get();
        return requestListing(
            context,
            currentPhotoListUrl(program.hosts, session, job.personalOwner, job.albumId, std::stoi(start)),
            kPersonalFloor, kCurrentPhotoShape,
            currentListingOptions(program.hosts, job.personalOwner, true));
      },
      [&](const PhotoListing& listing, int index) {
        return fromAlbumPage(context, job.personalOwner,
                             personalSource(context, details, listing, index, original));
      });
  photos.finishAlbum(folder, job.albumName, whole);
  form.appendLog(albumClosingLine(job.albumName, 3));
  form.setText(Control::标签_第多少张照片, "");
  return whole;
}

bool downloadCurrentGroupAlbum(Context& context, PhotoStore& photos, const AlbumJob& job) {
  Form& form = context.form;
  Program& program = context.program;
  startAlbumProgress(context, job.photoCountText);
  form.appendLog(albumOpeningLine(job.albumName));
  const Text folder = photos.prepareAlbumFolder(job);
  const PageStyle style{ProgressStyle::ordinalPicture, 200, CopyKind::group};
  const bool whole = storePagedPhotos(
      context, photos, job, folder, kCurrentGroupPhotoShape, style,
      [&](const Text& start) {
        const SessionCredentials session = program.credentials.get();
        return requestListing(
            context,
            currentGroupPhotoListUrl(program.hosts, session, job.typedNumber, job.albumId, std::stoi(start)),
            kGroupFloor, kCurrentGroupPhotoShape,
            currentListingOptions(program.hosts, job.typedNumber, true));
      },
      [&](const PhotoListing& listing, int index) {
        return fromAlbumPage(context, job.typedNumber, groupSource(context, listing, index));
      });
  photos.finishAlbum(folder, job.albumName, whole);
  form.appendLog(albumClosingLine(job.albumName, 4));
  form.setText(Control::标签_第多少张照片, "");
  return whole;
}

std::optional<PhotoSource> listedVideoSource(Context& context, PhotoDetails& details,
                                             const PhotoListing& listing, int index) {
  if (!listedAsVideo(listing, index)) return std::nullopt;
  return personalSource(context, details, listing, index, false);
}

std::optional<PhotoSource> listedGroupVideoSource(Context& context, const PhotoListing& listing, int index) {
  if (listing.memberText(index, "videodata") == "null") return std::nullopt;
  return groupSource(context, listing, index);
}

}  // namespace fotolun
