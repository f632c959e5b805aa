#pragma once
// Album folders and the photos in them, for one download run on its worker.
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "download/album_job.h"
#include "download/download_archive.h"
#include "download/download_tally.h"
#include "download/image_kind.h"
#include "download/photo_fetch.h"
#include "download/photo_identity.h"
#include "program/program.h"

namespace fotolun {

// One photo as a listing gives it.
struct ListedPhoto {
  Text url;
  Text name;  // the title made fit for a file name
  int index = 0;
  PhotoIdentity identity;
  std::optional<std::time_t> time;      // when it was taken or uploaded
  MediaKind kind = MediaKind::picture;  // a video entry is saved as the video, never its cover
  Text requestHeaders;                  // empty: the photo page's own header lines
  Text unavailable;                     // GBK: why it cannot be fetched at all; empty: it can
};

class PhotoStore {
 public:
  PhotoStore(Context& context, DownloadTally& tally);

  // The album's folder: the save folder (编辑框_保存位置, or the program's directory when that is
  // empty), then the job's number, then the album name with the photo count appended; every
  // missing level is created, and temporary files an earlier crash left there are removed. An
  // album that grew since an earlier run continues in that run's folder, renamed to today's name
  // (found through its record; never another album's folder). A folder that cannot be made is
  // reported in the log once, and the album's photos then count as failed without being fetched.
  // GBK, "/" between levels.
  Text prepareAlbumFolder(const AlbumJob& job);
  // The album is done: the names its photos took are made durable, and the log says how many
  // photos an earlier run had already saved. An album whose listing failed (listed false) and
  // saved nothing leaves none of the folders its preparation created.
  void finishAlbum(const Text& folder, const Text& albumName, bool listed = true);

  // Whether the folder's record says the photo is saved there and its file is still in place; it
  // then counts as skipped. Always false when the program fetches everything again.
  bool skipSaved(const Text& folder, const ListedPhoto& photo);

  // Fetches the photo with the photo page's headers (the session cookies only to the service's
  // own hosts), retrying a failed fetch (a busy host with a growing back-off), pauses pauseMs,
  // and saves the bytes as name_index_random.jpg in folder under a name no other file has
  // (".png", ".gif" and so on for a picture of another format), dated when the photo was taken or
  // uploaded, and notes it in the folder's record. Only a complete picture is saved: no
  // response, an HTTP error, an empty or cut-off body and bytes that are no picture (an error
  // page) fail the photo, which is reported in the log by name and reason and counted as failed.
  // The bytes go to a temporary file as they arrive; the pause is counted from the end of the
  // transfer, and the file is flushed and named while it passes.
  void storePhoto(const ListedPhoto& photo, const Text& albumId, const Text& folder, int pauseMs);

  // A listed entry that cannot be fetched (its unavailable reason): reported by name and counted
  // as failed.
  void reportUnavailable(const ListedPhoto& photo);

  // The halves of storePhoto for photos fetched several at once: whether the photo can be
  // fetched at all (its folder was made), and, in listing order, the fetched photo logged as
  // failed or saved under its name.
  bool folderUsable(const Text& folder) const { return unusableFolders_.count(folder) == 0; }
  // storePhoto for a photo whose fetch has begun elsewhere and is to go on here, after retry.
  void storePhoto(const ListedPhoto& photo, const Text& folder, int pauseMs, PhotoFetch& fetch,
                  const PhotoFetch::Retry& retry);
  void finishPhoto(const ListedPhoto& listed, const Text& folder, FetchedPhoto photo);
  // Whether the folder's record already names the photo (counted by skipSaved, not here).
  bool recordedSaved(const Text& folder, const ListedPhoto& photo) const;

  // How many photos of an album may be fetched at once: 1 unless the settings ask for more; a
  // busy photo host brings it back to 1 for the rest of the run.
  int parallelPhotos() const { return parallel_; }
  void setParallelPhotos(int streams) { parallel_ = streams; }

  // The directory is synced after this many new names, and at the end of the album.
  static constexpr int kSyncEvery = 50;

 private:
  struct Folder {
    std::optional<DownloadArchive> archive;  // none: another album's record is there, or none can be kept
    int skipped = 0;
    int unsynced = 0;
    int saved = 0;
    std::vector<std::filesystem::path> created;  // the levels this run made, deepest first
  };
  void removeCreatedFolders(Folder& state);
  FetchedPhoto fetch(const ListedPhoto& photo, PhotoFetch& fetch, std::optional<PhotoFetch::Retry> retry);
  bool save(const Text& folder, const ListedPhoto& listed, FetchedPhoto& photo);
  void fail(MediaKind kind, const char* utf8Reason, const Text& name, const Text& why = "");
  bool moveEarlierFolder(const Text& numberFolder, const AlbumJob& job, const Text& albumFolder);

  Context& context_;
  DownloadTally& tally_;
  std::set<Text> unusableFolders_;
  std::map<Text, Folder> folders_;
  int parallel_ = 1;
};

}  // namespace fotolun
