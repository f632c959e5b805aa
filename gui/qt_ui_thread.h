#pragma once
#include <QObject>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "form/ui_thread.h"

namespace fotolun::gui {

// Carries workers' calls to the Qt UI thread and blocks the worker until the call has run there.
//
// Not a BlockingQueuedConnection: when the window closes, the UI thread stops and joins the
// workers, and a worker blocked in a queued call that the UI thread will never run again would
// hang that join. shutDown() releases such workers instead; their calls are dropped.
class QtUiThread final : public UiThread {
 public:
  QtUiThread();  // on the UI thread
  ~QtUiThread() override;

  bool isUiThread() const override;
  void send(const std::function<void()>& fn) override;

  // On the UI thread, before joining workers: calls not yet started are dropped, and the workers
  // that made them, like any that call later, unwind with RunStopped, as from a stopped run.
  void shutDown();

 private:
  enum class State { Queued, Running, Done, Dropped };
  struct Call {
    const std::function<void()>* fn = nullptr;
    State state = State::Queued;
    std::exception_ptr error;
  };
  void runPending();

  QObject receiver_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Call*> pending_;
  bool closed_ = false;
};

}  // namespace fotolun::gui
