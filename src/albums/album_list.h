#pragma once
// The "2.获取相册" button: lists the albums of the typed number, personal or group, on a worker
// of its own, so that a slow service never holds the window up.
#include <atomic>
#include <memory>
#include <thread>

#include "albums/list_outcome.h"
#include "program/program.h"

namespace fotolun {

class AlbumLists {
 public:
  explicit AlbumLists(Program& program);
  // Stops and joins a list still being built.
  ~AlbumLists();
  AlbumLists(const AlbumLists&) = delete;
  AlbumLists& operator=(const AlbumLists&) = delete;

  // The button's click, on the UI thread. A press while a list is still being built is refused
  // with a log line: two runs filling one list would mix their rows.
  void onGetAlbums();

  // True from a press until its list is complete.
  bool building() const { return building_.load(); }
  // How the last list ended; listed before any.
  ListOutcome lastOutcome() const { return outcome_.load(); }

  // Blocks until the list worker (if any) is done. For front ends without a window and
  // for tests: a UI thread that carries the worker's calls must not block on it.
  void waitUntilListed();

  // The program is closing: the worker's run is stopped (nothing more of it reaches the form),
  // the worker joined and 画板1 hidden. On the UI thread, and only once that thread no longer
  // leaves a worker's call waiting (a windowed UI thread drops them first), or the join waits
  // for a call that nobody will carry.
  void stop();

 private:
  void startWorker(ListOutcome (*list)(Context&));

  Program& program_;
  std::unique_ptr<RunControl> control_;  // of the current or last list run
  std::thread worker_;
  std::atomic<bool> building_{false};
  std::atomic<ListOutcome> outcome_{ListOutcome::listed};
};

}  // namespace fotolun
