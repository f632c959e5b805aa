#pragma once
#include <functional>

#include "program/program.h"

namespace fotolun {

// Runs act on the UI thread once the run is neither halted nor stopped there. Halt and stop are
// set on the UI thread, so an act gated here never happens after a confirmed stop; a halted run
// waits, a stopped one unwinds with RunStopped. Without a run control act runs at once.
void whileRunning(Context& context, const std::function<void()>& act);

}  // namespace fotolun
