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
  // Halts nest, as thread suspension does: two halts need two resumes.
  void halt();
  void resume();
  void stop();

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
};

}  // namespace fotolun
