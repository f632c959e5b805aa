#include "net/transfer_watch.h"

#include "net/transfer_hook.h"

namespace fotolun {

TransferWatch::TransferWatch(std::optional<std::chrono::milliseconds> idleLimit)
    : idleLimit_(idleLimit), lastMove_(Clock::now()) {}

bool TransferWatch::keepGoing(std::int64_t bytesDown, std::int64_t bytesUp) {
  const Clock::time_point before = Clock::now();
  if (!RunTransferHook()) return false;
  const Clock::time_point now = Clock::now();
  // Time spent paused is the user's, not the link's: it must not count as a stalled read.
  lastMove_ += now - before;
  if (bytesDown != down_ || bytesUp != up_) {
    down_ = bytesDown;
    up_ = bytesUp;
    lastMove_ = now;
  }
  return !idleLimit_ || now - lastMove_ <= *idleLimit_;
}

int TransferWatch::onProgress(void* watch, std::int64_t, std::int64_t bytesDown, std::int64_t,
                              std::int64_t bytesUp) {
  return static_cast<TransferWatch*>(watch)->keepGoing(bytesDown, bytesUp) ? 0 : 1;
}

}  // namespace fotolun
