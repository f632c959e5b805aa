#pragma once
// The download run: one worker that walks the checked albums and hands each to its listing, and
// the handlers that start, pause, resume and stop it.
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "download/download_tally.h"
#include "program/program.h"

namespace fotolun {

class DownloadRun {
 public:
  explicit DownloadRun(Program& program);
  // Stops a run still going and joins every worker. Not to be destroyed from inside a UI-thread
  // call that a worker may be waiting for.
  ~DownloadRun();
  DownloadRun(const DownloadRun&) = delete;
  DownloadRun& operator=(const DownloadRun&) = delete;

  // The button handlers: call them on the UI thread (with a LockedUiThread, inside send()).
  void startDownload();   // 按钮_下载选中
  void pauseDownload();   // 按钮_暂停线程
  void resumeDownload();  // 按钮_继续下载
  bool stopDownload();    // 按钮_结束下载, asks first; whether the user said yes

  // Blocks until the current worker has ended. Not on the UI thread, which the worker needs.
  void waitForWorker();
  // Whether the current run's worker has not ended yet.
  bool running() const;
  // The same after waiting up to upTo for it to end (not on the UI thread).
  bool runningAfter(std::chrono::milliseconds upTo) const;

  // The current (or last) run's photos; readable while it runs.
  int savedPhotos() const;
  int failedPhotos() const;
  // Albums not saved whole, and whether the service ended the session during the run.
  int failedAlbums() const;
  int skippedPhotos() const;  // already saved by an earlier run
  bool signedOut() const;
  // Why the run ended before its last album, other than the session ending (DownloadTally).
  DownloadTally::CutShort cutShort() const;
  long long savedBytes() const;

 private:
  struct RunState;
  void runDownload(std::shared_ptr<RunState> run);
  void retireFinishedWorkers();

  Program& program_;
  std::shared_ptr<RunState> current_;
  std::thread downloadWorker;
  // Workers of earlier runs still showing their closing message box when a new run started:
  // joining them on the UI thread would wait for a box that thread has to close.
  std::vector<std::pair<std::thread, std::shared_ptr<RunState>>> retired_;
};

}  // namespace fotolun
