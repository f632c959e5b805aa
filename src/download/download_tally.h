#pragma once
#include <atomic>
#include <mutex>
#include <vector>

#include "text/gbk_text.h"

namespace fotolun {

// What a run achieved, read by the command line while the run goes on.
struct DownloadTally {
  std::atomic<int> savedPhotos{0};
  std::atomic<int> failedPhotos{0};   // videos included
  std::atomic<int> failedVideos{0};   // of failedPhotos, those that were videos
  std::atomic<int> skippedPhotos{0};  // already saved by an earlier run
  std::atomic<long long> savedBytes{0};
  // Albums not saved whole: a listing without a usable answer, a folder that could not be made,
  // a photo that failed, or an album never reached because the session ended.
  std::atomic<int> failedAlbums{0};
  // The service said the session is gone; the run ended early.
  std::atomic<bool> signedOut{false};
  // The run ended early for another reason: the service stayed busy or silent past the patience
  // (a later run goes on where this one stopped), or served its placeholder for photo after photo
  // even from fresh listings (the session's photo access is broken).
  enum class CutShort { no, serviceWall, photoAccess };
  std::atomic<CutShort> cutShort{CutShort::no};

  void albumFailed(const Text& name) {
    ++failedAlbums;
    std::lock_guard lock(mutex_);
    failedAlbumNames_.push_back(name);
  }
  std::vector<Text> failedAlbumNames() const {
    std::lock_guard lock(mutex_);
    return failedAlbumNames_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Text> failedAlbumNames_;
};

}  // namespace fotolun
