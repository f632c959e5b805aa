#pragma once
#include <functional>

namespace fotolun {

// Carries calls to the UI thread. send() returns once fn has run there (a sent, not posted,
// message), so a worker's updates arrive in the order it made them.
class UiThread {
 public:
  virtual ~UiThread() = default;
  virtual bool isUiThread() const = 0;
  virtual void send(const std::function<void()>& fn) = 0;
};

}  // namespace fotolun
