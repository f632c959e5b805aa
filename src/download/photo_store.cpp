#include "download/photo_store.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "download/image_kind.h"
#include "download/listing_outcome.h"
#include "download/part_file.h"
#include "download/run_gate.h"
#include "names/path_names.h"
#include "net/url_parts.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/system.h"
#include "service/listing_request.h"
#include "service/service_get.h"
#include "session/session_destination.h"
#include "story/embedded_dates.h"
#include "story/gallery.h"
#include "story/photo_time.h"
#include "text/encoding.h"
#include "text/random_text.h"

namespace fotolun {
namespace {

// Random parts drawn before a counter is added to a name already taken.
constexpr int kRandomDraws = 10;
constexpr int kMaxCounter = 100000;

// A video that an earlier run saved as its cover picture (the older listings hid what it was) is
// not saved yet: its record must not keep the video from being fetched.
bool savedAsPicture(const std::string& fileName) {
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string extension = fileName.substr(dot);
  for (const char* picture : {".jpg", ".png", ".gif", ".webp", ".bmp", ".heic"})
    if (extension == picture) return true;
  return false;
}

// Folders are joined with the system's own separator, as the user's save folder is written.
const Text kSeparator(1, platform::kFolderSeparator);

Text feedAlbumFolder(const Text& year) { return Utf8ToGbk(kFeedFolder) + kSeparator + folderComponent(year); }

// A separator at the end of the save folder is dropped; on Windows a "\\" too, but never the
// second byte of a GBK character that happens to be 0x5C: UTF-8 tells them apart.
bool endsWithSeparator(const Text& folder) {
  if (folder.size() <= 1) return false;
  if (folder.back() == '/') return true;
  return platform::kWindows && folder.back() == '\\' && GbkToUtf8(folder).back() == '\\';
}

}  // namespace

PhotoStore::PhotoStore(Context& context, DownloadTally& tally) : context_(context), tally_(tally) {}

Text numberFolderOf(Context& context, const AlbumJob& job) {
  Text base = context.form.text(Control::编辑框_保存位置);
  if (base.empty()) base = context.program.folders.saveFolder;
  while (endsWithSeparator(base)) base.pop_back();
  const Text number = folderComponent(job.typedNumber);
  if (!number.empty()) base += kSeparator + shortenForDisk(number, kMaxNameLength);
  return base;
}

Text PhotoStore::prepareAlbumFolder(const AlbumJob& job) {
  return prepareFolder(job, albumFolderName(job.albumName, job.photoCountText), true);
}

Text feedFolderOf(Context& context, const AlbumJob& job, const Text& year) {
  return numberFolderOf(context, job) + kSeparator + feedAlbumFolder(year);
}

Text PhotoStore::prepareFeedFolder(const AlbumJob& job, const Text& year) {
  return prepareFolder(job, feedAlbumFolder(year), false);
}

Text PhotoStore::prepareFolder(const AlbumJob& job, const Text& album, bool mayContinueEarlier) {
  const Text numberFolder = numberFolderOf(context_, job);
  const Text folder = numberFolder + kSeparator + album;

  const std::filesystem::path onDisk = platform::systemPath(GbkToUtf8(folder));
  bool made = false;
  bool movedEarlier = false;
  std::vector<std::filesystem::path> created;
  whileRunning(context_, [&] {
    std::error_code error;
    if (mayContinueEarlier && !std::filesystem::exists(onDisk, error))
      movedEarlier = moveEarlierFolder(numberFolder, job, album);
    for (std::filesystem::path level = onDisk; !level.empty() && !std::filesystem::exists(level, error);
         level = level.parent_path()) {
      created.push_back(level);
      if (level == level.parent_path()) break;
    }
    std::filesystem::create_directories(onDisk, error);
    made = std::filesystem::is_directory(onDisk, error);
  });
  // Said once the folder stands: a stop may still overtake the line, never the move.
  if (movedEarlier)
    context_.form.appendLog(Utf8ToGbk("相册《") + job.albumName +
                            Utf8ToGbk("》接着保存在上次的文件夹，改名为：") + album + "\r\n");
  if (!made) {
    unusableFolders_.insert(folder);
    context_.form.appendLog(Utf8ToGbk("无法创建文件夹：") + folder + "\r\n");
    return folder;
  }
  PartFile::removeLeftovers(GbkToUtf8(folder));
  Folder& state = folders_[folder];
  state = Folder{};
  state.created = std::move(created);
  // Two albums of one name and count share a folder; the second keeps no record there rather
  // than mixing its photos into the first one's.
  state.archive = DownloadArchive::open(onDisk, job.albumId);
  numberFolders_.insert(numberFolder);
  album_ = AlbumInProgress{folder, AlbumRecord{GbkToUtf8(job.albumId),
                                               GbkToUtf8(job.albumName),
                                               context_.program.albumStories.of(job.albumId),
                                               {}}};
  return folder;
}

// Inside whileRunning, so that a stop never overtakes a folder half renamed; no log line from
// here, as the UI thread may be waiting for the move to end.
bool PhotoStore::moveEarlierFolder(const Text& numberFolder, const AlbumJob& job, const Text& albumFolder) {
  return moveEarlierAlbumFolder(platform::systemPath(GbkToUtf8(numberFolder)), job.albumId,
                                GbkToUtf8(albumFolder))
      .has_value();
}

void PhotoStore::finishAlbum(const Text& folder, const Text& albumName, bool listed) {
  if (unusableFolders_.count(folder) != 0) return;
  Folder& state = folders_[folder];
  // A run over a thousand albums would otherwise hold a thousand files open.
  if (state.archive) state.archive->closeFile();
  context_.checkpoint();
  if (!listed && state.saved == 0 && !state.created.empty()) {
    removeCreatedFolders(state);
  } else if (album_ && album_->folder == folder) {
    writeRecord(state);
  }
  album_.reset();
  platform::flushFolder(platform::pathFromUtf8(GbkToUtf8(folder)));
  state.unsynced = 0;
  if (state.skipped > 0) {
    context_.form.appendLog(Utf8ToGbk("相册《") + albumName + Utf8ToGbk("》跳过") +
                            std::to_string(state.skipped) + Utf8ToGbk("张已下载的图片\r\n"));
    state.skipped = 0;
  }
}

// The record stays the first album's where two albums share a folder, as the archive does.
void PhotoStore::writeRecord(const Folder& state) {
  if (!state.archive) return;
  const std::filesystem::path onDisk = platform::systemPath(GbkToUtf8(album_->folder));
  AlbumRecord record = std::move(album_->record);
  if (const auto earlier = readAlbumRecord(onDisk); earlier && earlier->id == record.id)
    record = mergeAlbumRecords(*earlier, std::move(record));
  if (!writeAlbumRecord(onDisk, record))
    context_.form.appendLog(Utf8ToGbk("相册记录写入失败：") + album_->folder + kSeparator + kAlbumRecordName +
                            "\r\n");
}

void PhotoStore::note(const ListedPhoto& photo, std::string file, std::string failed) {
  if (!album_) return;
  static constexpr const char* kCopies[] = {"hd", "original", "group"};
  album_->record.photos.push_back(RecordedPhoto{photo.identity.key,
                                                kCopies[static_cast<int>(photo.identity.kind)],
                                                std::move(file), std::move(failed), photo.story});
}

// Deepest first; a level that holds anything (a file the user put there meanwhile) stays, and so
// does every level above it.
void PhotoStore::removeCreatedFolders(Folder& state) {
  std::error_code error;
  state.archive.reset();
  std::filesystem::remove(state.created.front() / kArchiveFileName, error);
  for (const std::filesystem::path& level : state.created)
    if (!std::filesystem::remove(level, error)) break;
  state.created.clear();
}

bool PhotoStore::skipSaved(const Text& folder, const ListedPhoto& photo) {
  if (!recordedSaved(folder, photo)) return false;
  Folder& state = folders_[folder];
  if (const std::optional<std::string> file = state.archive->savedFile(photo.identity))
    note(photo, *file, "");
  ++state.skipped;
  ++tally_.skippedPhotos;
  return true;
}

bool PhotoStore::recordedSaved(const Text& folder, const ListedPhoto& photo) const {
  if (!context_.program.skipSavedPhotos || unusableFolders_.count(folder) != 0) return false;
  const auto state = folders_.find(folder);
  if (state == folders_.end() || !state->second.archive) return false;
  const std::optional<std::string> file = state->second.archive->savedFile(photo.identity);
  return file && (photo.kind != MediaKind::video || !savedAsPicture(*file));
}

void PhotoStore::storePhoto(const ListedPhoto& listed, const Text& albumId, const Text& folder, int pauseMs) {
  if (unusableFolders_.count(folder) != 0) {
    ++tally_.failedPhotos;
    if (listed.kind == MediaKind::video) ++tally_.failedVideos;
    return;
  }
  PhotoFetch photoFetch(context_, listed, albumId, GbkToUtf8(folder));
  FetchedPhoto photo = fetch(listed, photoFetch, std::nullopt);
  const auto fetchedAt = std::chrono::steady_clock::now();
  finishPhoto(listed, folder, std::move(photo));
  WaitRestOf(context_, pauseMs, fetchedAt);
}

void PhotoStore::storePhoto(const ListedPhoto& listed, const Text& folder, int pauseMs,
                            PhotoFetch& photoFetch, const PhotoFetch::Retry& retry) {
  FetchedPhoto photo = fetch(listed, photoFetch, retry);
  const auto fetchedAt = std::chrono::steady_clock::now();
  finishPhoto(listed, folder, std::move(photo));
  WaitRestOf(context_, pauseMs, fetchedAt);
}

void PhotoStore::finishPhoto(const ListedPhoto& listed, const Text& folder, FetchedPhoto photo) {
  if ((photo.extension.empty() || photo.placeholder) && !listed.otherCopies.empty())
    photo = fetchOtherCopy(listed, folder, std::move(photo));
  if (photo.placeholder) {
    ++placeholdersInARow_;
    lastPlaceholder_ = photo.failure;
    if (deferPlaceholders_) return deferPhoto(listed);
    return failPlaceholder(listed);
  }
  if (photo.extension.empty()) return fail("图片下载失败：", listed, photo.failure);
  std::string savedAs;
  if (!save(folder, listed, photo, savedAs)) return fail("图片保存失败：", listed);
  placeholdersInARow_ = 0;
  note(listed, std::move(savedAs), "");
  ++tally_.savedPhotos;
  tally_.savedBytes += static_cast<long long>(photo.bytes);
  Folder& state = folders_[folder];
  ++state.saved;
  if (++state.unsynced >= kSyncEvery) {
    context_.checkpoint();
    platform::flushFolder(platform::pathFromUtf8(GbkToUtf8(folder)));
    state.unsynced = 0;
  }
}

FetchedPhoto PhotoStore::fetch(const ListedPhoto& listed, PhotoFetch& fetch,
                               std::optional<PhotoFetch::Retry> retry) {
  for (;;) {
    if (retry) {
      if (retry->busy) announceRetry(context_, retry->verdict, retry->waitMs);
      WaitWithMessages(context_, retry->waitMs);
    }
    const ServiceResponse response = serviceGet(context_, listed.url, fetch.nextAttempt());
    retry = fetch.judge(response);
    if (retry) continue;
    FetchedPhoto photo = fetch.result();
    // No later photo would get through either: the run stops here, nothing of this one saved.
    if (fetch.outlastedPatience()) throw ServiceWall{photo.failure};
    return photo;
  }
}

// The record names the file before the file takes its name: a process killed in between leaves a
// record of a file that is not there, which the next run fetches again; the other order would
// leave a photo the next run does not know and saves twice.
bool PhotoStore::save(const Text& folder, const ListedPhoto& listed, FetchedPhoto& photo,
                      std::string& savedAs) {
  context_.checkpoint();
  const std::string folderOnDisk = GbkToUtf8(folder);
  std::optional<PartFile>& part = photo.part;
  if (!part || !part->finish(listed.time)) return false;
  if (context_.program.embedDates && listed.kind == MediaKind::picture) embedDates(listed, folder, *part);
  std::optional<DownloadArchive>& archive = folders_[folder].archive;

  // A name already taken gets another random part, then a counter after the last one drawn.
  int randomPart = RandomInRange(1, 2000);
  for (int attempt = 1; attempt <= kRandomDraws + kMaxCounter; ++attempt) {
    if (attempt > 1 && attempt <= kRandomDraws) randomPart = RandomInRange(1, 2000);
    const int counter = attempt <= kRandomDraws ? 0 : attempt - kRandomDraws + 1;
    const std::string fileName =
        listed.fileStem.empty()
            ? GbkToUtf8(photoFileName(listed.name, listed.index, randomPart, counter, photo.extension))
            : GbkToUtf8(listed.fileStem) + (attempt > 1 ? "-" + std::to_string(attempt) : "") +
                  std::string(photo.extension);
    std::error_code error;
    if (std::filesystem::exists(platform::systemPath(folderOnDisk + "/" + fileName), error)) continue;
    if (archive) archive->record(listed.identity, fileName);
    PartFile::Move moved = PartFile::Move::failed;
    // The final name appears only while the run is neither halted nor stopped; a stop unwinds
    // from here and the temporary file goes with it.
    whileRunning(context_, [&] { moved = part->moveTo(fileName); });
    if (moved == PartFile::Move::done) {
      savedAs = fileName;
      return true;
    }
    if (moved == PartFile::Move::failed) return false;
  }
  return false;
}

// Each other copy is judged as the first was: a placeholder is no better than nothing.
FetchedPhoto PhotoStore::fetchOtherCopy(const ListedPhoto& listed, const Text& folder, FetchedPhoto photo) {
  const bool video = listed.kind == MediaKind::video;
  for (const Text& copy : listed.otherCopies) {
    ListedPhoto other = listed;
    other.url = copy;
    other.otherCopies.clear();
    PhotoFetch otherFetch(context_, other, "", GbkToUtf8(folder));
    FetchedPhoto kept = fetch(other, otherFetch, std::nullopt);
    if (kept.extension.empty() || kept.placeholder) continue;
    context_.form.appendLog(
        Utf8ToGbk(video ? "视频的原文件无法下载（" : "最大的一份无法下载（") + photo.failure +
        Utf8ToGbk(video ? "），已保存在线播放用的副本：" : "），已保存较小的一份：") + listed.name + "\r\n");
    return kept;
  }
  return photo;
}

void PhotoStore::failPlaceholder(const ListedPhoto& photo) {
  fail("图片下载失败：", photo, lastPlaceholder_);
  if (manyPlaceholders()) throw PhotoAccessBroken{lastPlaceholder_};
}

// The photo as served stays in the temporary file unless the dated copy is complete: the copy
// is a temporary file of its own that takes the first one's place.
void PhotoStore::embedDates(const ListedPhoto& listed, const Text& folder, PartFile& part) {
  const auto when = listed.story.shot ? listed.story.shot : listed.story.uploaded;
  if (!when) return;
  std::ifstream in(platform::systemPath(part.path()), std::ios::binary);
  const std::string served((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EmbedOutcome outcome = fotolun::embedDates(served, DatesToEmbed{*when, listed.story.description});
  if (outcome.kind == EmbedOutcome::written) {
    std::optional<PartFile> dated = PartFile::create(GbkToUtf8(folder));
    if (dated && dated->append(outcome.bytes) && dated->finish(listed.time)) {
      part = std::move(*dated);
      return;
    }
    outcome.why = "写入文件失败";
  }
  if (outcome.kind == EmbedOutcome::failed || !outcome.why.empty())
    context_.form.appendLog(Utf8ToGbk("拍摄时间没有写入照片：") + listed.name + Utf8ToGbk("（") +
                            Utf8ToGbk(outcome.why) + Utf8ToGbk("）\r\n"));
}

void PhotoStore::reportUnavailable(const ListedPhoto& photo) {
  fail(photo.kind == MediaKind::video ? "视频无法下载：" : "图片无法下载：", photo, photo.unavailable);
}

void PhotoStore::fail(const char* utf8Reason, const ListedPhoto& photo, const Text& why) {
  ++tally_.failedPhotos;
  Text line = Utf8ToGbk(utf8Reason) + photo.name;
  if (photo.kind == MediaKind::video) ++tally_.failedVideos;
  if (!why.empty()) line += Utf8ToGbk("（") + why + Utf8ToGbk("）");
  context_.form.appendLog(line + "\r\n");
  const std::string reason = GbkToUtf8(Utf8ToGbk(utf8Reason) + why);
  note(photo, "", reason.ends_with("：") ? reason.substr(0, reason.size() - 3) : reason);
}

ParallelTransfers& PhotoStore::transfers(int streams) {
  if (!transfers_ || transfers_->streams() != streams)
    transfers_ = std::make_unique<ParallelTransfers>(streams);
  return *transfers_;
}

}  // namespace fotolun
