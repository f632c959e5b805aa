#pragma once
#include <functional>

#include "program/program.h"

namespace fotolun {

// Runs act (a folder made or moved, a photo taking its final name) on the calling worker once the
// run is neither halted nor stopped: a halted run waits, a stopped one unwinds with RunStopped.
// The go-ahead is asked on the UI thread, where halt and stop are set, but the act itself runs
// here: a slow disk (a network folder) must not freeze the window. The UI thread's halt and stop
// wait for an act under way instead (RunControl::beginChange), so the window waits for one rename
// at most, and only when the user pauses or stops; undoing a rename the stop overtook would let
// the final name appear for a moment after the stop. act must not call on the UI thread, which
// may be waiting for it. Without a run control act runs at once.
void whileRunning(Context& context, const std::function<void()>& act);

}  // namespace fotolun
