#pragma once
// How long to wait before asking a struggling service again. The request's own rule (so many
// attempts so far apart) is the floor: within it an unanswered request is asked again after its
// own pause, exactly. A busy service, and one still silent after the floor, is given a back-off
// that grows from seconds to five minutes, with jitter so that many clients do not return at once,
// and never shorter than the floor's pause or the server's Retry-After. The waits of one request
// add up to the budget at most (the user's patience with a service that has walled itself off),
// or to the floor's own pauses where those are longer: a short patience bounds the growth, never
// the floor's tries.
#include <optional>

#include "service/reply_verdict.h"

namespace fotolun {

struct RetryFloor {
  int attempts = 1;
  int pauseMs = 0;
  // Whether silence past the floor is waited out too; false when the caller has somewhere else
  // to ask first (another host), and only a busy service is given more time.
  bool waitOutSilence = true;
  // Another endpoint family can be asked instead: a service that nothing reaches (no route, a
  // refused connection or tunnel) is left at once, and one that never responds after the floor's
  // tries; a wall that answers (busy, an empty 5xx) is still waited out.
  bool otherFamily = false;
};

class Backoff {
 public:
  static constexpr int kFirstGrowthMs = 2000;
  static constexpr int kLongestWaitMs = 5 * 60000;
  static constexpr int kBudgetMs = 30 * 60000;
  static constexpr int kJitterPercent = 20;

  explicit Backoff(RetryFloor floor, int budgetMs = kBudgetMs) : floor_(floor), budgetMs_(budgetMs) {}

  // After a reply worth retrying: the wait before the next attempt, or none when the request
  // should give up. jitterPercent (in -kJitterPercent..kJitterPercent) spreads a grown wait.
  std::optional<int> next(const ReplyVerdict& verdict, int jitterPercent);
  // Draws the jitter itself.
  std::optional<int> next(const ReplyVerdict& verdict);

  // Whether the last wait given was the floor's own pause, which the program does not announce.
  bool lastWasFloorPause() const { return lastWasFloorPause_; }
  // Whether the last next() gave up because the budget was spent (rather than the floor ending
  // where another host may be asked): the service outlasted the patience.
  bool outlasted() const { return outlasted_; }
  int attempts() const { return attempts_; }

 private:
  RetryFloor floor_;
  int budgetMs_;
  int attempts_ = 0;
  int grown_ = 0;
  long long waitedMs_ = 0;
  bool lastWasFloorPause_ = false;
  bool outlasted_ = false;
};

}  // namespace fotolun
