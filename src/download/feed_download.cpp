#include "download/feed_download.h"

#include <filesystem>
#include <map>
#include <memory>

#include "download/album_listing.h"
#include "download/download_archive.h"
#include "download/listed_photos.h"
#include "download/listing_outcome.h"
#include "download/photo_progress.h"
#include "feed/feed_endpoints.h"
#include "feed/feed_names.h"
#include "platform/path.h"
#include "service/current_headers.h"
#include "story/gallery.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

constexpr std::string_view kFeedIdPrefix = "feed-";
// A post's pictures come from photo hosts as an album's do, and are paced alike.
constexpr int kFeedPhotoPauseMs = 100;

PhotoIdentity identityOf(const FeedMedia& media) { return {CopyKind::original, feedMediaKey(media)}; }

std::vector<ListedPhoto> listedMedia(Context& context, const Text& owner, const FeedPost& post,
                                     int dayOrder) {
  const ServiceHosts& hosts = context.program.hosts;
  std::vector<ListedPhoto> listed;
  for (std::size_t m = 0; m < post.media.size(); ++m) {
    const FeedMedia& media = post.media[m];
    ListedPhoto photo;
    photo.kind = media.video ? MediaKind::video : MediaKind::picture;
    if (!media.copies.empty()) photo.url = media.copies.front();
    for (std::size_t c = 1; c < media.copies.size(); ++c) photo.otherCopies.push_back(media.copies[c]);
    if (media.copies.empty())
      photo.unavailable = Utf8ToGbk(media.video ? "服务没有给出视频地址" : "服务没有给出图片地址");
    photo.fileStem = feedFileStem(post, dayOrder, static_cast<int>(m) + 1);
    photo.name = photo.fileStem;
    photo.index = static_cast<int>(m) + 1;
    photo.identity = identityOf(media);
    photo.time = post.created;
    photo.listedWidth = media.width;
    photo.listedHeight = media.height;
    photo.requestHeaders = pageRequestHeaders(media.video ? PageRequest::video : PageRequest::picture,
                                              feedPageAddress(hosts, owner));
    photo.asBrowser = true;
    photo.story.description = post.description();
    photo.story.uploaded = post.created;
    photo.story.width = media.width;
    photo.story.height = media.height;
    photo.story.video = media.video;
    listed.push_back(std::move(photo));
  }
  return listed;
}

// The posts the last list read of the owner's; read anew (and kept) when it read another's, or
// could not read them all: the service may answer now.
std::shared_ptr<const FeedRead> postsOf(Context& context, const Text& owner) {
  std::shared_ptr<const FeedRead> read = context.program.feedRead.get();
  if (read && read->owner == owner && read->failure.usable()) return read;
  context.form.appendLog(Utf8ToGbk("正在读取") + owner + Utf8ToGbk("的说说列表\r\n"));
  auto fresh = std::make_shared<const FeedRead>(readFeed(context, owner));
  context.program.feedRead.set(fresh);
  return fresh;
}

// A post whose list gave only its first pictures, with all of them; as listed when its own
// picture list is not to be had (logged; the post is then not whole).
FeedPost wholePost(Context& context, const Text& owner, const FeedPost& post, bool& whole) {
  if (!post.picturesLeftOut()) return post;
  ReplyVerdict verdict;
  FeedPost all = withAllPictures(context, owner, post, verdict);
  if (!verdict.usable()) {
    if (verdict.problem == ReplyProblem::notSignedIn) throw SessionEnded{};
    if (verdict.outlastedPatience) throw ServiceWall{verdict.reason};
    whole = false;
    context.form.appendLog(Utf8ToGbk("说说（") + Utf8ToGbk(feedDay(post)) + Utf8ToGbk("）的") +
                           std::to_string(post.pictureTotal) + Utf8ToGbk("张图片只列出了") +
                           std::to_string(post.media.size()) + Utf8ToGbk("张，其余的列表获取失败：") +
                           verdict.reason + "\r\n");
  }
  return all;
}

// The year's posts of one page of the list, asked again: fresh addresses for photos the service
// answered with its placeholder.
std::vector<ListedPhoto> relistedPage(Context& context, const Text& owner, int position,
                                      const std::string& year) {
  const FeedPageReply reply = requestFeedPage(context, owner, position);
  std::vector<ListedPhoto> fresh;
  if (!reply.page) return fresh;
  bool whole = true;
  for (const FeedPost& post : reply.page->posts) {
    if (feedYear(post) != year) continue;
    // Matched by identity: the day's order does not matter here.
    std::vector<ListedPhoto> listed = listedMedia(context, owner, wholePost(context, owner, post, whole), 0);
    fresh.insert(fresh.end(), listed.begin(), listed.end());
  }
  return fresh;
}

}  // namespace

std::vector<FeedYear> feedYears(const FeedRead& read) {
  std::map<std::string, FeedYear, std::greater<>> years;
  for (const FeedPost& post : read.posts) {
    if (post.mediaCount() == 0) continue;
    FeedYear& year = years[feedYear(post)];
    year.year = feedYear(post);
    ++year.posts;
    for (const FeedMedia& media : post.media) ++(media.video ? year.videos : year.pictures);
    year.pictures += post.mediaCount() - static_cast<int>(post.media.size());  // those left out
  }
  std::vector<FeedYear> out;
  for (auto& [name, year] : years) out.push_back(year);
  return out;
}

Text feedAlbumId(const std::string& year) { return std::string(kFeedIdPrefix) + year; }

std::optional<std::string> yearOfFeedAlbum(const Text& albumId) {
  if (!albumId.starts_with(kFeedIdPrefix)) return std::nullopt;
  const std::string year = albumId.substr(kFeedIdPrefix.size());
  if (year.size() != 4 || year.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  return year;
}

Text feedAlbumName(const std::string& year) { return Utf8ToGbk(std::string(kFeedFolder) + " ") + year; }

std::function<bool(const FeedPost&)> feedPostsSaved(Context& context, const AlbumJob& job) {
  auto archives = std::make_shared<std::map<std::string, std::optional<DownloadArchive>>>();
  return [&context, job, archives](const FeedPost& post) {
    const std::string year = feedYear(post);
    auto found = archives->find(year);
    if (found == archives->end()) {
      std::optional<DownloadArchive> archive;
      const std::filesystem::path folder = platform::systemPath(GbkToUtf8(feedFolderOf(context, job, year)));
      std::error_code error;
      if (std::filesystem::is_directory(folder, error))
        archive = DownloadArchive::open(folder, feedAlbumId(year));
      found = archives->emplace(year, std::move(archive)).first;
    }
    if (!found->second) return false;
    for (const FeedMedia& media : post.media)
      if (!found->second->savedFile(identityOf(media))) return false;
    return true;
  };
}

bool downloadFeedYear(Context& context, PhotoStore& photos, const AlbumJob& job) {
  Form& form = context.form;
  const std::optional<std::string> year = yearOfFeedAlbum(job.albumId);
  if (!year) return false;
  const Text& owner = job.personalOwner;
  const std::shared_ptr<const FeedRead> read = postsOf(context, owner);
  bool whole = read->failure.usable();
  if (!whole) {
    reportListingFailure(context, job, read->failure);
    if (read->posts.empty()) return false;
  }

  startAlbumProgress(context, job.photoCountText);
  form.appendLog(albumOpeningLine(job.albumName));
  const Text folder = photos.prepareFeedFolder(job, *year);
  const std::vector<int> orders = dayOrders(read->posts);
  int position = 0;
  // A page of the list at a time: the placeholders of a page are asked again from that page.
  for (std::size_t first = 0; first < read->posts.size();) {
    const int pagePosition = read->posts[first].pagePosition;
    std::vector<ListedPhoto> listed;
    std::size_t next = first;
    for (; next < read->posts.size() && read->posts[next].pagePosition == pagePosition; ++next) {
      const FeedPost& post = read->posts[next];
      if (feedYear(post) != *year || post.mediaCount() == 0) continue;
      std::vector<ListedPhoto> media =
          listedMedia(context, owner, wholePost(context, owner, post, whole), orders[next]);
      listed.insert(listed.end(), media.begin(), media.end());
    }
    first = next;
    if (listed.empty()) continue;
    const int before = position;
    storePhotoList(
        context, photos, job.albumId, folder, listed, kFeedPhotoPauseMs,
        [&](std::size_t index) {
          showPhotoProgress(context, job.photoCountText, before + static_cast<int>(index) + 1,
                            ProgressStyle::countSlashPosition);
        },
        [&] { return relistedPage(context, owner, pagePosition, *year); });
    position += static_cast<int>(listed.size());
  }
  photos.finishAlbum(folder, job.albumName, whole);
  form.appendLog(albumClosingLine(job.albumName, 3));
  form.setText(Control::标签_第多少张照片, "");
  return whole;
}

}  // namespace fotolun
