#include "net/request_object.h"

#include <curl/curl.h>

#include "net/curl_global.h"

namespace fotolun {

RequestObject::RequestObject() {
  EnsureCurlReady();
  handle_ = curl_easy_init();
}

RequestObject::~RequestObject() {
  if (handle_) curl_easy_cleanup(static_cast<CURL*>(handle_));
}

void RequestObject::release() {
  std::lock_guard lock(inUse_);
  if (handle_) curl_easy_cleanup(static_cast<CURL*>(handle_));
  handle_ = nullptr;
}

void ReleaseThreadObjects() {
  ThreadServiceObject().release();
  ThreadFetchObject().release();
}

RequestObject& ThreadServiceObject() {
  thread_local RequestObject object;
  return object;
}

RequestObject& ThreadFetchObject() {
  thread_local RequestObject object;
  return object;
}

}  // namespace fotolun
