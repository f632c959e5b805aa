#include "qt_ui_thread.h"

#include <QMetaObject>
#include <QThread>

#include "form/run_control.h"

namespace fotolun::gui {

QtUiThread::QtUiThread() = default;

QtUiThread::~QtUiThread() { shutDown(); }

bool QtUiThread::isUiThread() const { return QThread::currentThread() == receiver_.thread(); }

void QtUiThread::send(const std::function<void()>& fn) {
  if (isUiThread()) {
    fn();
    return;
  }
  Call call;
  call.fn = &fn;
  {
    std::lock_guard lock(mutex_);
    if (closed_) throw RunStopped{};
    pending_.push_back(&call);
  }
  QMetaObject::invokeMethod(
      &receiver_, [this] { runPending(); }, Qt::QueuedConnection);
  std::unique_lock lock(mutex_);
  // A call the UI thread has begun must finish before the worker's stack frame, which holds fn,
  // goes away; so shutDown only releases calls that are still queued.
  changed_.wait(lock, [&] { return call.state == State::Done || call.state == State::Dropped; });
  if (call.state == State::Dropped) throw RunStopped{};
  if (call.error) std::rethrow_exception(call.error);
}

void QtUiThread::runPending() {
  for (;;) {
    Call* call = nullptr;
    {
      std::lock_guard lock(mutex_);
      if (pending_.empty()) return;
      call = pending_.front();
      pending_.pop_front();
      call->state = State::Running;
    }
    std::exception_ptr error;
    try {
      (*call->fn)();
    } catch (...) {
      error = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      call->error = error;
      call->state = State::Done;
    }
    changed_.notify_all();
  }
}

void QtUiThread::shutDown() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    for (Call* call : pending_) call->state = State::Dropped;
    pending_.clear();
  }
  changed_.notify_all();
}

}  // namespace fotolun::gui
