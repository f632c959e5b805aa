#pragma once
// Several exchanges at once on one libcurl multi handle, driven by the thread that owns it (no
// thread of its own: pause and stop reach the transfers through that thread's transfer hook).
// Each stream keeps its easy handle, so its connection stays alive from one exchange to the next.
#include <chrono>
#include <memory>
#include <vector>

#include "net/curl_transfer.h"

namespace fotolun {

class ParallelTransfers {
 public:
  explicit ParallelTransfers(int streams);
  ~ParallelTransfers();
  ParallelTransfers(const ParallelTransfers&) = delete;
  ParallelTransfers& operator=(const ParallelTransfers&) = delete;

  int streams() const;
  bool hasFreeStream() const;
  int running() const;

  // Starts the exchange on a free stream; its outcome comes back from run() with tag. False when
  // every stream is busy. A request that cannot be sent ends at once with an empty outcome.
  bool start(int tag, TransferRequest request);

  struct Ended {
    int tag;
    TransferOutcome outcome;
  };
  // Moves the transfers along for up to timeout, returning as soon as any have ended.
  std::vector<Ended> run(std::chrono::milliseconds timeout);

  // Ends every transfer without an outcome.
  void cancelAll();

 private:
  struct Stream;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace fotolun
