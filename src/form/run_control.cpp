#include "form/run_control.h"

namespace fotolun {

void RunControl::halt() {
  std::unique_lock lock(mutex_);
  ++halts_;
  changed_.wait(lock, [this] { return changing_ == 0; });
}

void RunControl::resume() {
  {
    std::lock_guard lock(mutex_);
    if (halts_ > 0) --halts_;
  }
  changed_.notify_all();
}

void RunControl::stop() {
  std::unique_lock lock(mutex_);
  stopped_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return changing_ == 0; });
}

bool RunControl::beginChange() {
  std::lock_guard lock(mutex_);
  if (stopped_ || halts_ > 0) return false;
  ++changing_;
  return true;
}

void RunControl::endChange() {
  {
    std::lock_guard lock(mutex_);
    --changing_;
  }
  changed_.notify_all();
}

bool RunControl::halted() const {
  std::lock_guard lock(mutex_);
  return halts_ > 0;
}

bool RunControl::stopped() const {
  std::lock_guard lock(mutex_);
  return stopped_;
}

void RunControl::checkpoint() {
  if (!keepGoing()) throw RunStopped{};
}

bool RunControl::keepGoing() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return stopped_ || halts_ == 0; });
  return !stopped_;
}

void RunControl::sleepFor(std::chrono::milliseconds duration) {
  {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, duration, [this] { return stopped_; });
  }
  checkpoint();
}

}  // namespace fotolun

namespace fotolun {

void RunControl::sleepUntil(std::chrono::steady_clock::time_point deadline) {
  {
    std::unique_lock lock(mutex_);
    changed_.wait_until(lock, deadline, [this] { return stopped_; });
  }
  checkpoint();
}

}  // namespace fotolun
