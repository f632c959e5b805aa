#include "program/program.h"

#include <algorithm>

namespace fotolun {

void WaitLog::record(int ms) {
  std::lock_guard lock(mutex_);
  waits_.push_back(ms);
}

std::vector<int> WaitLog::all() const {
  std::lock_guard lock(mutex_);
  return waits_;
}

void WaitLog::clear() {
  std::lock_guard lock(mutex_);
  waits_.clear();
}

void WaitWithMessages(Context& context, int amount, int unit) {
  static constexpr long long kFactor[] = {1, 1000, 60000, 3600000};
  long long ms = static_cast<long long>(amount) * kFactor[(unit >= 0 && unit <= 3) ? unit : 0];
  context.program.waits.record(static_cast<int>(ms));
  context.form.waitWithMessages(static_cast<int>(static_cast<double>(ms) * context.program.delayScale));
}

std::chrono::steady_clock::time_point WaitEnd(Context& context, int ms,
                                              std::chrono::steady_clock::time_point since) {
  context.program.waits.record(ms);
  return since + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                     std::chrono::duration<double, std::milli>(ms * context.program.delayScale));
}

void WaitRestOf(Context& context, int ms, std::chrono::steady_clock::time_point since) {
  SleepUntil(context, WaitEnd(context, ms, since));
}

void SleepUntil(Context& context, std::chrono::steady_clock::time_point deadline) {
  // A worker sleeps to the clock's precision: rounding to whole milliseconds would add half of
  // one to every photo of an album.
  if (context.control != nullptr) return context.control->sleepUntil(deadline);
  const auto rest = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  context.form.waitWithMessages(static_cast<int>(std::max<long long>(0, rest.count())));
}

void LetMessagesRun(Context& context) { context.form.letMessagesRun(); }

}  // namespace fotolun
