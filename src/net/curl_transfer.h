#pragma once
// One HTTP exchange on a libcurl easy handle, with nothing on the wire beyond what the caller
// lists and what HTTP/1.1 itself needs (Host, and Content-Length where a body goes).
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "text/gbk_text.h"

namespace fotolun {

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
};

struct TransferOutcome {
  bool completed = false;  // the whole response came in
  ByteBuffer body;         // of the last response
  // The header block of every response that was not interim (1xx), redirects first: the status
  // line, the header lines, an empty line, each line ending in CRLF.
  std::vector<Text> headerBlocks;
  int status = 0;
};

TransferOutcome PerformTransfer(void* curlHandle, const TransferRequest& transfer);

}  // namespace fotolun
