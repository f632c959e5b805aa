#pragma once

namespace fotolun {

// Runs the hook of the innermost TransferHookScope alive on this thread: it may block while the
// run is paused and returns false once it is stopped. True when there is no hook.
bool RunTransferHook();

}  // namespace fotolun
