#pragma once
// SendServiceRequest in two halves, for a caller that runs the transfer itself (several photos at
// once on a multi handle): the request it would send, and what it makes of the outcome.
#include <cstddef>

#include "net/curl_transfer.h"
#include "text/gbk_text.h"

namespace fotolun {

struct ServiceExchange {
  Text url;
  int method = 0;
  bool noRedirect = false;
  Text headers;                  // the caller's lines; the defaults are appended to it
  bool headersComplete = false;  // the caller's lines are all there is: no defaults appended
  Text proxy;
  int timeoutSeconds = 0;  // as SendServiceRequest's: 0 = 15 s per step, -1 = none
  std::size_t maxBodyBytes = 0;
  Text caFile;
};

// The transfer SendServiceRequest makes of the exchange with that cookie text (without a body
// or proxy credentials).
TransferRequest ServiceTransfer(ServiceExchange& exchange, const Text& cookieText);

struct ServiceReply {
  Text setCookies;  // the cookies set along the way, redirects included
  Text headers;     // the last response's header block
  int status = 0;
};

// What the outcome says back: the reply's cookies are merged into cookieText.
ServiceReply TakeServiceOutcome(const TransferOutcome& outcome, Text& cookieText);

}  // namespace fotolun
