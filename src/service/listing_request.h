#pragma once
// A listing request with an outcome: the service's list, or no usable answer and why.
#include "program/program.h"
#include "service/backoff.h"
#include "service/reply_verdict.h"
#include "service/service_get.h"

namespace fotolun {

struct ListingReply {
  Text text;  // the reply as it came (in the endpoint's own encoding), a JSONP call unwrapped
  ReplyVerdict verdict;
  // Answers before this one that were waited out: busy, or none at all (a throttle wall).
  int waitedOut = 0;
  bool usable() const { return verdict.usable(); }
};

// Asks url with the session until the reply is a list of the given shape, the service refuses
// for good (not signed in, no permission, a broken reply), or the back-off gives up. Busy and
// longer waits are announced in the log ("服务器繁忙，N秒后重试"); a stop ends the waits at once.
ListingReply requestListing(Context& context, const Text& url, RetryFloor floor, const ReplyShape& shape,
                            const ServiceGetOptions& options = {});

// The log line of a grown wait: "服务器繁忙，N秒后重试" (or "服务器没有回应，…" for silence).
void announceRetry(Context& context, const ReplyVerdict& verdict, int waitMs);

}  // namespace fotolun
