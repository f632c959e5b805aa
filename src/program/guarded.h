#pragma once
#include <mutex>

namespace fotolun {

// A value that the UI thread writes and workers read.
template <class T>
class Guarded {
 public:
  T get() const {
    std::lock_guard lock(mutex_);
    return value_;
  }
  void set(T value) {
    std::lock_guard lock(mutex_);
    value_ = std::move(value);
  }

 private:
  mutable std::mutex mutex_;
  T value_{};
};

}  // namespace fotolun
