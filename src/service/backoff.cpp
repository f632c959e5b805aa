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
  if (verdict.problem == ReplyProblem::unanswered && attempts_ < floor_.attempts) {
    waitedMs_ += floor_.pauseMs;
    lastWasFloorPause_ = true;
    return floor_.pauseMs;
  }
  if (verdict.problem == ReplyProblem::unanswered && !floor_.waitOutSilence) return std::nullopt;
  ++grown_;
  long long wait = kFirstGrowthMs;
  for (int i = 1; i < grown_ && wait < kLongestWaitMs; ++i) wait *= 2;
  wait = std::min<long long>(wait, kLongestWaitMs);
  jitterPercent = std::clamp(jitterPercent, -kJitterPercent, kJitterPercent);
  wait += wait * jitterPercent / 100;
  wait = std::max<long long>(wait, floor_.pauseMs);
  // The server's own hint is honoured, though never past the whole budget.
  if (verdict.retryAfterSeconds > 0)
    wait = std::max<long long>(wait, std::min<long long>(verdict.retryAfterSeconds * 1000LL, budgetMs_));
  if (attempts_ >= floor_.attempts && waitedMs_ + wait > budgetMs_) {
    // What is left of the budget is still waited before giving up, so that the whole patience
    // is given.
    const long long left = budgetMs_ - waitedMs_;
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
