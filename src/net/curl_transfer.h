#pragma once
// One HTTP exchange on a libcurl easy handle, with nothing on the wire beyond what the caller
// lists and what HTTP/1.1 itself needs (Host, and Content-Length where a body goes).
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/gbk_text.h"

namespace fotolun {

// Takes a response body as it arrives, for a body that is not to be held in memory whole.
class BodySink {
 public:
  virtual ~BodySink() = default;
  // A new response begins: what came before belonged to a redirect.
  virtual void restart() = 0;
  // False ends the exchange as failed.
  virtual bool take(std::string_view bytes) = 0;
};

struct Credentials {
  std::string user;
  std::string password;
};

struct TransferRequest {
  std::string verb = "GET";
  std::string url;
  std::vector<std::string> headerLines;  // libcurl syntax, sent in this order after Host
  std::optional<ByteBuffer> body;        // none: no body and no Content-Length
  bool followRedirects = true;
  std::optional<std::chrono::seconds> connectTimeout;    // name resolution and connect
  std::optional<std::chrono::milliseconds> idleTimeout;  // longest wait for the next byte
  std::string proxy;                                     // "" = the environment's (proxy_choice.h)
  std::optional<Credentials> proxyCredentials;
  std::optional<Credentials> serverCredentials;
  // A PEM file of further authorities to trust for https, beside the system's; "" = the system's
  // alone. One that cannot be read fails every https exchange rather than trusting less.
  std::string caFile;
  std::string userAgent;        // sent (after Host) unless a header line names one
  void* cookieShare = nullptr;  // a CURLSH* whose cookies go out and come back; null = none
  // A body growing past this ends the exchange as failed: a reply is never held in memory
  // without bound, whatever a server sends.
  std::size_t maxBodyBytes = std::size_t{1} << 30;
  // Given: the body goes there as it arrives and TransferOutcome::body stays empty.
  BodySink* bodySink = nullptr;
};

struct TransferOutcome {
  bool completed = false;     // the whole response came in
  ByteBuffer body;            // of the last response
  std::size_t bodyBytes = 0;  // its length, also when a BodySink took it
  // The header block of every response that was not interim (1xx), redirects first: the status
  // line, the header lines, an empty line, each line ending in CRLF.
  std::vector<Text> headerBlocks;
  int status = 0;
  // The server's certificate did not check out against the trusted authorities: nothing was sent,
  // and asking again will not change that.
  bool certificateRefused = false;
  // Nothing reached a server: the host or the proxy did not resolve, the connection or the
  // proxy's tunnel was refused.
  bool unreachable = false;
};

TransferOutcome PerformTransfer(void* curlHandle, const TransferRequest& transfer);

// The same exchange set up on a handle that the caller drives itself (through a multi handle):
// finish() takes the CURLcode it ended with. transfer must outlive it; it does not move, for
// libcurl holds pointers into it.
class PreparedTransfer {
 public:
  PreparedTransfer(void* curlHandle, const TransferRequest& transfer);
  ~PreparedTransfer();
  PreparedTransfer(const PreparedTransfer&) = delete;
  PreparedTransfer& operator=(const PreparedTransfer&) = delete;

  // False when nothing may be sent (an address without a host): the outcome is an empty one.
  bool ready() const { return ready_; }
  TransferOutcome finish(int curlCode);

 private:
  struct State;
  void* curl_;
  bool ready_ = false;
  std::unique_ptr<State> state_;
};

}  // namespace fotolun
