#include "net/parallel_transfers.h"

#include <curl/curl.h>

#include <optional>

#include "net/curl_global.h"

namespace fotolun {

struct ParallelTransfers::Stream {
  CURL* curl = nullptr;
  int tag = 0;
  bool busy = false;
  // The request outlives its PreparedTransfer, which points into it.
  std::optional<TransferRequest> request;
  std::unique_ptr<PreparedTransfer> prepared;
};

struct ParallelTransfers::Impl {
  CURLM* multi = nullptr;
  std::vector<Stream> streams;
  std::vector<Ended> ready;  // ended before run() was called (a request that could not be sent)

  void collect(std::vector<Ended>& ended) {
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
      if (message->msg != CURLMSG_DONE) continue;
      for (Stream& stream : streams) {
        if (!stream.busy || stream.curl != message->easy_handle) continue;
        ended.push_back({stream.tag, stream.prepared->finish(message->data.result)});
        release(stream);
        break;
      }
    }
  }

  void release(Stream& stream) {
    curl_multi_remove_handle(multi, stream.curl);
    stream.prepared.reset();
    stream.request.reset();
    stream.busy = false;
  }
};

ParallelTransfers::ParallelTransfers(int streams) : impl_(std::make_unique<Impl>()) {
  EnsureCurlReady();
  impl_->multi = curl_multi_init();
  impl_->streams.resize(static_cast<std::size_t>(streams));
  for (Stream& stream : impl_->streams) stream.curl = curl_easy_init();
  // One connection per stream is all the program asks of a host.
  curl_multi_setopt(impl_->multi, CURLMOPT_MAXCONNECTS, static_cast<long>(streams));
}

ParallelTransfers::~ParallelTransfers() {
  cancelAll();
  for (Stream& stream : impl_->streams)
    if (stream.curl) curl_easy_cleanup(stream.curl);
  if (impl_->multi) curl_multi_cleanup(impl_->multi);
}

int ParallelTransfers::streams() const { return static_cast<int>(impl_->streams.size()); }

bool ParallelTransfers::hasFreeStream() const {
  for (const Stream& stream : impl_->streams)
    if (!stream.busy && stream.curl) return true;
  return false;
}

int ParallelTransfers::running() const {
  int count = 0;
  for (const Stream& stream : impl_->streams) count += stream.busy ? 1 : 0;
  return count;
}

bool ParallelTransfers::start(int tag, TransferRequest request) {
  for (Stream& stream : impl_->streams) {
    if (stream.busy || !stream.curl) continue;
    stream.request = std::move(request);
    stream.prepared = std::make_unique<PreparedTransfer>(stream.curl, *stream.request);
    if (!impl_->multi || !stream.prepared->ready() ||
        curl_multi_add_handle(impl_->multi, stream.curl) != CURLM_OK) {
      impl_->ready.push_back({tag, TransferOutcome{}});
      stream.prepared.reset();
      stream.request.reset();
      return true;
    }
    stream.tag = tag;
    stream.busy = true;
    return true;
  }
  return false;
}

std::vector<ParallelTransfers::Ended> ParallelTransfers::run(std::chrono::milliseconds timeout) {
  std::vector<Ended> ended = std::move(impl_->ready);
  impl_->ready.clear();
  if (running() == 0) return ended;
  int stillRunning = 0;
  curl_multi_perform(impl_->multi, &stillRunning);
  impl_->collect(ended);
  if (!ended.empty()) return ended;
  curl_multi_poll(impl_->multi, nullptr, 0, static_cast<int>(timeout.count()), nullptr);
  curl_multi_perform(impl_->multi, &stillRunning);
  impl_->collect(ended);
  return ended;
}

void ParallelTransfers::cancelAll() {
  impl_->ready.clear();
  for (Stream& stream : impl_->streams)
    if (stream.busy) impl_->release(stream);
}

}  // namespace fotolun
