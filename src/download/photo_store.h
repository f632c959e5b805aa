#pragma once
// Album folders and the photos in them, for one download run on its worker.
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "download/album_job.h"
#include "download/download_archive.h"
#include "download/download_tally.h"
#include "download/image_kind.h"
#include "download/photo_fetch.h"
#include "net/parallel_transfers.h"
#include "program/program.h"
#include "story/album_record.h"
#include "story/photo_identity.h"
#include "story/photo_story.h"

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
  // The size the listing gives (0: none), which tells the service's placeholder from the photo.
  int listedWidth = 0;
  int listedHeight = 0;
  bool asBrowser = false;  // ServiceGetOptions::asBrowser
  PhotoStory story;        // what the listing tells people about it
  // Other addresses of the same photo, each asked in turn when the one before gives no file or
  // the service's placeholder: a picture's smaller copies, largest first; the copy of a video
  // the service plays rather than its upload.
  std::vector<Text> otherCopies;
  // The file's name without its extension (GBK); empty: the title, index and a random part.
  Text fileStem;
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
  // The same for the pictures a space posted in one year: "说说/<year>" in the number's folder,
  // never continued from another folder.
  Text prepareFeedFolder(const AlbumJob& job, const Text& year);
  // The album is done: the names its photos took are made durable, the folder's album record
  // (album.json) tells what became of each listed photo, and the log says how many photos an
  // earlier run had already saved. An album whose listing failed (listed false) and saved nothing
  // leaves none of the folders its preparation created.
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

  // While on, a photo the service answered with its placeholder is held back (deferPhoto) rather
  // than failed, for the listing's owner to ask again at fresh addresses (takeDeferred).
  void deferPlaceholders(bool on) { deferPlaceholders_ = on; }
  void deferPhoto(const ListedPhoto& photo) { deferred_.push_back(photo); }
  std::vector<ListedPhoto> takeDeferred() { return std::exchange(deferred_, {}); }
  // Whether the last kPlaceholdersInARow photos fetched were all placeholders.
  bool manyPlaceholders() const { return placeholdersInARow_ >= kPlaceholdersInARow; }
  // The photo is still a placeholder after a fresh listing, or the listing lost it: failed. Too
  // many of those in a row end the run with PhotoAccessBroken.
  void failPlaceholder(const ListedPhoto& photo);
  static constexpr int kPlaceholdersInARow = 20;

  // How many photos of an album may be fetched at once: 1 unless the settings ask for more; a
  // busy photo host brings it back to 1 for the rest of the run.
  int parallelPhotos() const { return parallel_; }
  void setParallelPhotos(int streams) { parallel_ = streams; }
  // The transfers of photos fetched at once, kept for the whole run (pages and albums alike) so
  // that their connections stay open from one page to the next.
  ParallelTransfers& transfers(int streams);

  // The number folders this run saved albums in (GBK), for the offline album's pages.
  const std::set<Text>& numberFolders() const { return numberFolders_; }

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
  // The album being downloaded, as its record will tell it.
  struct AlbumInProgress {
    Text folder;
    AlbumRecord record;
  };
  Text prepareFolder(const AlbumJob& job, const Text& album, bool mayContinueEarlier);
  void note(const ListedPhoto& photo, std::string file, std::string failed);
  void writeRecord(const Folder& state);
  void embedDates(const ListedPhoto& listed, const Text& folder, PartFile& part);
  FetchedPhoto fetch(const ListedPhoto& photo, PhotoFetch& fetch, std::optional<PhotoFetch::Retry> retry);
  bool save(const Text& folder, const ListedPhoto& listed, FetchedPhoto& photo, std::string& savedAs);
  void fail(const char* utf8Reason, const ListedPhoto& photo, const Text& why = "");
  void removeCreatedFolders(Folder& state);
  bool moveEarlierFolder(const Text& numberFolder, const AlbumJob& job, const Text& albumFolder);
  // The photo's other copies in turn, when the first gave none; the photo as it was otherwise.
  FetchedPhoto fetchOtherCopy(const ListedPhoto& listed, const Text& folder, FetchedPhoto photo);

  Context& context_;
  DownloadTally& tally_;
  std::set<Text> unusableFolders_;
  std::map<Text, Folder> folders_;
  std::optional<AlbumInProgress> album_;
  std::set<Text> numberFolders_;
  int parallel_ = 1;
  std::unique_ptr<ParallelTransfers> transfers_;
  bool deferPlaceholders_ = false;
  std::vector<ListedPhoto> deferred_;
  int placeholdersInARow_ = 0;
  Text lastPlaceholder_;  // the reason the last placeholder was failed with
};

// Where a PhotoStore puts the job's number folder and a year of its posts, without making
// anything (GBK, "/" between levels).
Text numberFolderOf(Context& context, const AlbumJob& job);
Text feedFolderOf(Context& context, const AlbumJob& job, const Text& year);

// Thrown when photo after photo comes back as the service's placeholder even from fresh
// listings: the session's access to photos is broken, and no later album would fare better.
struct PhotoAccessBroken {
  Text reason;  // GBK, the last placeholder's
};

}  // namespace fotolun
