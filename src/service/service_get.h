#pragma once
// Requests to the service from the program's operations, with the session where it may go.
#include <cstddef>
#include <optional>

#include "net/curl_transfer.h"
#include "program/program.h"

namespace fotolun {

struct ServiceResponse {
  ByteBuffer body;
  std::size_t bodyBytes = 0;        // the body's length, also when a sink took it
  int status = 0;                   // 0: no response
  Text headers;                     // the last response's header block
  bool refusedHost = false;         // not sent: the session may not go to that host
  bool certificateRefused = false;  // not sent: the server's certificate is not trusted
  bool unreachable = false;         // nothing reached a server (net/http_clients.h)
};

struct ServiceGetOptions {
  bool sessionCookies = true;  // send the sign-in's cookies and merge the reply's back
  bool wholeSession = false;   // those of the browser's cookie store too (the https endpoints)
  // Today's service: the headers are a browser's whole set (no defaults added, current_headers.h)
  // and the session goes through the run's cookie jar, by the cookie rules (session_jar.h).
  bool asBrowser = false;
  Text headers;  // extra request header lines, CR LF between them
  // Listings are small; a body past this is no listing and is not held in memory.
  std::size_t maxBodyBytes = std::size_t{16} << 20;
  BodySink* bodySink = nullptr;  // takes the body as it arrives; ServiceResponse::body stays empty
};

// A GET of url through SendServiceRequest after the run's checkpoint. With session cookies the
// sign-in's cookie text goes out and the reply's cookies are merged back, but only to a host
// that may have them (maySendSession); any other host is not asked at all. Without them an empty
// cookie text is sent and whatever the reply sets is dropped.
ServiceResponse serviceGet(Context& context, const Text& url, const ServiceGetOptions& options = {});

// The same GET in two halves, for a caller that runs several transfers at once: the request
// (none when the host may not have the session), and the response its outcome makes, with the
// reply's cookies merged into the session as serviceGet merges them.
std::optional<TransferRequest> serviceGetTransfer(Context& context, const Text& url,
                                                  const ServiceGetOptions& options);
ServiceResponse serviceGetResponse(Context& context, const ServiceGetOptions& options,
                                   TransferOutcome outcome);

}  // namespace fotolun
