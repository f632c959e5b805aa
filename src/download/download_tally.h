#pragma once
#include <atomic>

namespace fotolun {

// What a run achieved, read by the command line while the run goes on.
struct DownloadTally {
  std::atomic<int> savedPhotos{0};
  std::atomic<int> failedPhotos{0};
  std::atomic<long long> savedBytes{0};
};

}  // namespace fotolun
