#pragma once
// Requests to the service from the program's operations, with the session where it may go.
#include <cstddef>

#include "program/program.h"

namespace fotolun {

struct ServiceResponse {
  ByteBuffer body;
  int status = 0;            // 0: no response
  Text headers;              // the last response's header block
  bool refusedHost = false;  // not sent: the session may not go to that host
};

struct ServiceGetOptions {
  bool sessionCookies = true;  // send the sign-in's cookies and merge the reply's back
  bool wholeSession = false;   // those of the browser's cookie store too (the https endpoints)
  Text headers;                // extra request header lines, CR LF between them
  // Listings are small; a body past this is no listing and is not held in memory.
  std::size_t maxBodyBytes = std::size_t{16} << 20;
};

// A GET of url through SendServiceRequest after the run's checkpoint. With session cookies the
// sign-in's cookie text goes out and the reply's cookies are merged back, but only to a host
// that may have them (maySendSession); any other host is not asked at all. Without them an empty
// cookie text is sent and whatever the reply sets is dropped.
ServiceResponse serviceGet(Context& context, const Text& url, const ServiceGetOptions& options = {});

}  // namespace fotolun
