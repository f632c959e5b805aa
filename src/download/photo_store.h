#pragma once
// Album folders and the photos in them, for one download run on its worker.
#include <set>

#include "download/download_tally.h"
#include "program/program.h"

namespace fotolun {

class PhotoStore {
 public:
  PhotoStore(Context& context, DownloadTally& tally);

  // The album's folder: the save folder (编辑框_保存位置, or the program's directory when that is
  // empty), then the number in 编辑框_号码, then the album name with the photo count appended;
  // every missing level is created. A folder that cannot be made is reported in the log once, and
  // the album's photos then count as failed without being fetched. GBK, "/" between levels.
  Text prepareAlbumFolder(const Text& photoCountText, const Text& albumName);

  // Fetches url with the photo page's headers (the session cookies only to the service's own
  // hosts), retrying a failed fetch, pauses pauseMs, and saves the bytes as
  // name_index_random.jpg in folder under a name no other file has. A photo that cannot be fetched
  // or written is reported in the log by name and counted as failed.
  void storePhoto(const Text& url, const Text& albumId, const Text& folder, const Text& name, int index,
                  int pauseMs);

  static constexpr int kFetchAttempts = 3;
  static constexpr int kFetchRetryMs = 1000;

 private:
  bool fetch(const Text& url, const Text& albumId, ByteBuffer& body);
  bool save(const Text& folder, const Text& name, int index, const ByteBuffer& body);
  void fail(const char* utf8Reason, const Text& name);

  Context& context_;
  DownloadTally& tally_;
  std::set<Text> unusableFolders_;
};

}  // namespace fotolun
