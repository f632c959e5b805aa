#pragma once
#include <mutex>
#include <thread>

#include "form/ui_thread.h"

namespace fotolun {

// The UI thread of a program without a window: whoever holds the lock is "the UI thread". The
// thread that created it counts as the UI thread for isUiThread(); every send() runs under the
// lock, so calls from a worker and from the command line's own thread never interleave.
class LockedUiThread final : public UiThread {
 public:
  LockedUiThread() : owner_(std::this_thread::get_id()) {}

  bool isUiThread() const override { return std::this_thread::get_id() == owner_; }
  void send(const std::function<void()>& fn) override {
    std::lock_guard lock(mutex_);
    fn();
  }

 private:
  std::thread::id owner_;
  std::recursive_mutex mutex_;
};

}  // namespace fotolun
