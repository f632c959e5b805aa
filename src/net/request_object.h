#pragma once
// A reusable connection for SendServiceRequest, the counterpart of passing an existing request
// object: one libcurl easy handle whose connections stay alive from one request to the next.
#include <mutex>

namespace fotolun {

class RequestObject {
 public:
  RequestObject();
  ~RequestObject();
  RequestObject(const RequestObject&) = delete;
  RequestObject& operator=(const RequestObject&) = delete;

  // The easy handle (a CURL*), null when libcurl could not make one.
  void* curlHandle() const { return handle_; }
  // A handle serves one transfer at a time; requests from several threads take turns.
  std::mutex& inUse() { return inUse_; }

 private:
  void* handle_ = nullptr;
  std::mutex inUse_;
};

// The handles each thread keeps alive between calls: one per client, because the process
// cookie store that FetchUrl attaches must never leak into a service request.
RequestObject& ThreadServiceObject();
RequestObject& ThreadFetchObject();

}  // namespace fotolun
