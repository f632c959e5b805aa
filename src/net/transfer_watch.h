#pragma once
// What libcurl's progress callback checks during a transfer.
#include <chrono>
#include <cstdint>
#include <optional>

namespace fotolun {

class TransferWatch {
 public:
  using Clock = std::chrono::steady_clock;

  // idleLimit: how long the link may move no byte, either way, before the transfer is given up.
  explicit TransferWatch(std::optional<std::chrono::milliseconds> idleLimit);

  // Runs the thread's transfer hook, then the idle check; false ends the transfer.
  bool keepGoing(std::int64_t bytesDown, std::int64_t bytesUp);

  // A CURLOPT_XFERINFOFUNCTION for a TransferWatch passed as its data.
  static int onProgress(void* watch, std::int64_t totalDown, std::int64_t bytesDown, std::int64_t totalUp,
                        std::int64_t bytesUp);

 private:
  std::optional<std::chrono::milliseconds> idleLimit_;
  Clock::time_point lastMove_;
  std::int64_t down_ = 0;
  std::int64_t up_ = 0;
};

}  // namespace fotolun
