#include "service/backoff.h"

#include <algorithm>

#include "text/random_text.h"

namespace fotolun {

std::optional<int> Backoff::next(const ReplyVerdict& verdict) {
  return next(verdict, RandomInRange(-kJitterPercent, kJitterPercent));
}

std::optional<int> Backoff::next(const ReplyVerdict& verdict, int jitterPercent) {
  ++attempts_;
  lastWasFloorPause_ = false;
  const bool silent = verdict.problem == ReplyProblem::unanswered;
  const bool withinFloor = attempts_ < floor_.attempts;
  // Another family can be asked: one that nothing reaches is not waited for at all, and one that
  // never responds only through the floor's tries. A wall that answers is still waited out.
  if (floor_.otherFamily && verdict.unreachable) return std::nullopt;
  if (silent && withinFloor) {
    waitedMs_ += floor_.pauseMs;
    lastWasFloorPause_ = true;
    return floor_.pauseMs;
  }
  if (silent && (!floor_.waitOutSilence || (floor_.otherFamily && verdict.noResponse))) return std::nullopt;
  ++grown_;
  long long wait = kFirstGrowthMs;
  for (int i = 1; i < grown_ && wait < kLongestWaitMs; ++i) wait *= 2;
  wait = std::min<long long>(wait, kLongestWaitMs);
  jitterPercent = std::clamp(jitterPercent, -kJitterPercent, kJitterPercent);
  wait += wait * jitterPercent / 100;
  wait = std::max<long long>(wait, floor_.pauseMs);
  if (verdict.retryAfterSeconds > 0) wait = std::max<long long>(wait, verdict.retryAfterSeconds * 1000LL);

  // All the waits of one request stay within the patience, or within the floor's own pauses where
  // those are longer: the floor's tries still come at their pace, and the growth (or the server's
  // Retry-After) has only what the patience leaves beside them.
  const long long floorMs = static_cast<long long>(std::max(floor_.attempts - 1, 0)) * floor_.pauseMs;
  const long long allowedMs = std::max<long long>(budgetMs_, floorMs);
  if (withinFloor) {
    const long long reservedMs = static_cast<long long>(floor_.attempts - 1 - attempts_) * floor_.pauseMs;
    wait = std::min(wait, std::max<long long>(floor_.pauseMs, allowedMs - waitedMs_ - reservedMs));
  } else if (waitedMs_ + wait > allowedMs) {
    // What is left is still waited before giving up, so that the whole patience is given.
    const long long left = allowedMs - waitedMs_;
    if (left < kFirstGrowthMs) {
      outlasted_ = true;
      return std::nullopt;
    }
    wait = left;
  }
  waitedMs_ += wait;
  return static_cast<int>(wait);
}

}  // namespace fotolun
