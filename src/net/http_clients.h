#pragma once
// The two HTTP clients of the program, on libcurl.
//
// SendServiceRequest serves every album and photo call; a body longer than maxBodyBytes (0: 1 GiB)
// fails the request rather than filling the memory; FetchUrl serves the route lookup and the
// version check. Both return the body bytes, empty on any failure, and never throw. caFile names
// a PEM file of authorities trusted for https beside the system's ("" = the system's alone).
#include <cstddef>
#include <functional>

#include "text/gbk_text.h"

namespace fotolun {

// A reusable connection (one libcurl easy handle). Passing one keeps its connection alive across
// requests; without one, each thread keeps its own handle alive between calls.
class RequestObject;
// Takes a body as it arrives (curl_transfer.h); the returned body is then empty.
class BodySink;

// Why an exchange got no response, where that decides what to do next: a certificate that does
// not check out is never asked again, and a server that nothing reaches may be given up at once.
struct NoResponseCause {
  bool certificateRefused = false;
  bool unreachable = false;
};

ByteBuffer SendServiceRequest(const Text& url, int method = 0, const Text& postText = "",
                              Text* cookies = nullptr, Text* responseCookies = nullptr,
                              Text* headers = nullptr, Text* responseHeaders = nullptr, int* status = nullptr,
                              bool noRedirect = false, const ByteBuffer& postBytes = "",
                              const Text& proxy = "", int timeoutSeconds = 0, const Text& proxyUser = "",
                              const Text& proxyPassword = "", int proxyCredentialFlag = 1,
                              RequestObject* requestObject = nullptr, std::size_t maxBodyBytes = 0,
                              const Text& caFile = "", BodySink* bodySink = nullptr,
                              NoResponseCause* noResponse = nullptr);

// cookies == nullptr means "not given": the process cookie store then sends and keeps cookies.
ByteBuffer FetchUrl(const Text& url, int method = 0, const Text& postText = "", Text* cookies = nullptr,
                    Text* responseCookies = nullptr, Text* headers = nullptr, Text* responseHeaders = nullptr,
                    bool noRedirect = false, ByteBuffer* postBytes = nullptr, const Text& proxy = "",
                    const Text& caFile = "");

// While alive on a thread, every transfer on that thread calls keepGoing from libcurl's progress
// callback: it may block (a paused run) and returns false to abort the transfer (a stopped run).
class TransferHookScope {
 public:
  explicit TransferHookScope(std::function<bool()> keepGoing);
  ~TransferHookScope();
  TransferHookScope(const TransferHookScope&) = delete;
  TransferHookScope& operator=(const TransferHookScope&) = delete;

 private:
  std::function<bool()> previous_;
};

}  // namespace fotolun
