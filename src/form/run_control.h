#pragma once
// Cooperative pause, resume and stop of a worker.
//
// Every control update, request, wait and file write of a worker passes a checkpoint: a paused
// run blocks there (holding no lock the UI thread needs), a stopped run unwinds with RunStopped.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace fotolun {

struct RunStopped {};

class RunControl {
 public:
  // Halts nest, as thread suspension does: two halts need two resumes. halt() and stop() return
  // only once no change is under way (see beginChange).
  void halt();
  void resume();
  void stop();

  // A change the user must never see after a confirmed stop or during a pause (a file taking its
  // final name, a folder made or moved) runs between these two on the worker. beginChange() is
  // false, and marks nothing, while the run is halted or stopped. halt() and stop() wait for the
  // change under way to end, so the thread that halts or stops waits for one rename or mkdir at
  // most, never for a transfer or a long write, and nothing changes on disk once they return.
  bool beginChange();
  void endChange();

  bool halted() const;
  bool stopped() const;

  // Blocks while halted; throws RunStopped once stopped.
  void checkpoint();
  // For transfers in flight: blocks while halted, returns false once stopped.
  bool keepGoing();
  // Sleeps, woken early by a stop (then throws RunStopped); a halt is honoured afterwards.
  void sleepFor(std::chrono::milliseconds duration);
  // The same up to a point in time, to the clock's precision rather than whole milliseconds.
  void sleepUntil(std::chrono::steady_clock::time_point deadline);

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  int halts_ = 0;
  bool stopped_ = false;
  int changing_ = 0;  // changes under way
};

}  // namespace fotolun
