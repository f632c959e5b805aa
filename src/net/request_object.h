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
  // Cleans the handle up now rather than when the thread ends.
  void release();

 private:
  void* handle_ = nullptr;
  std::mutex inUse_;
};

// The handles each thread keeps alive between calls: one per client, because the process
// cookie store that FetchUrl attaches must never leak into a service request.
RequestObject& ThreadServiceObject();
RequestObject& ThreadFetchObject();
// Releases this thread's two handles now. Left to the thread's own end, they would be cleaned up
// by a thread-local destructor, which mingw's emulated thread-local storage may run after that
// storage is gone: every thread that makes requests closes them itself as it ends.
void ReleaseThreadObjects();
struct ThreadConnectionsClosedAtEnd {
  ThreadConnectionsClosedAtEnd() = default;
  ThreadConnectionsClosedAtEnd(const ThreadConnectionsClosedAtEnd&) = delete;
  ThreadConnectionsClosedAtEnd& operator=(const ThreadConnectionsClosedAtEnd&) = delete;
  ~ThreadConnectionsClosedAtEnd() { ReleaseThreadObjects(); }
};

}  // namespace fotolun
