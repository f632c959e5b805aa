#include "download/run_gate.h"

namespace fotolun {

void whileRunning(Context& context, const std::function<void()>& act) {
  if (context.control == nullptr) return act();
  RunControl& control = *context.control;
  for (;;) {
    control.checkpoint();
    bool done = false;
    context.program.ui.send([&] {
      if (control.halted() || control.stopped()) return;
      act();
      done = true;
    });
    if (done) return;
  }
}

}  // namespace fotolun
