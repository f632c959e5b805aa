#pragma once
// Album folders and the photos in them, for one download run on its worker.
#include <set>
#include <string_view>

#include "download/download_tally.h"
#include "program/program.h"

namespace fotolun {

class PhotoStore {
 public:
  PhotoStore(Context& context, DownloadTally& tally);

  // The album's folder: the save folder (编辑框_保存位置, or the program's directory when that is
  // empty), then the number, then the album name with the photo count appended; every missing
  // level is created, and temporary files an earlier crash left there are removed. A folder that
  // cannot be made is reported in the log once, and the album's photos then count as failed
  // without being fetched. GBK, "/" between levels.
  Text prepareAlbumFolder(const Text& number, const Text& photoCountText, const Text& albumName);
  // The album is done: the names its photos took are made durable.
  void finishAlbum(const Text& folder);

  // Fetches url with the photo page's headers (the session cookies only to the service's own
  // hosts), retrying a failed fetch (a busy host with a growing back-off), pauses pauseMs, and
  // saves the bytes as name_index_random.jpg in folder under a name no other file has (".png",
  // ".gif" and so on for a picture of another format). Only a complete picture is saved: no
  // response, an HTTP error, an empty or cut-off body and bytes that are no picture (an error
  // page) fail the photo, which is reported in the log by name and reason and counted as failed.
  void storePhoto(const Text& url, const Text& albumId, const Text& folder, const Text& name, int index,
                  int pauseMs);

  static constexpr int kFetchAttempts = 3;
  static constexpr int kFetchRetryMs = 1000;
  // A busy photo host is waited out this long at most per photo.
  static constexpr int kBusyBudgetMs = 2 * 60000;
  // The directory is synced after this many new names, and at the end of the album.
  static constexpr int kSyncEvery = 50;

 private:
  struct Fetched {
    ByteBuffer body;
    std::string_view extension;  // of the picture format; empty when the fetch failed
    Text failure;                // GBK: why, when it failed
  };
  Fetched fetch(const Text& url, const Text& albumId);
  bool save(const Text& folder, const Text& name, int index, const Fetched& photo);
  void fail(const char* utf8Reason, const Text& name, const Text& why = "");

  Context& context_;
  DownloadTally& tally_;
  std::set<Text> unusableFolders_;
  int unsyncedNames_ = 0;
};

}  // namespace fotolun
