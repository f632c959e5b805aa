#include "download/run_gate.h"

namespace fotolun {
namespace {

void change(Context& context, const std::function<void()>& act) {
  if (context.program.beforeDiskChange) context.program.beforeDiskChange();
  act();
}

class ChangeUnderWay {
 public:
  explicit ChangeUnderWay(RunControl& control) : control_(control) {}
  ~ChangeUnderWay() { control_.endChange(); }
  ChangeUnderWay(const ChangeUnderWay&) = delete;
  ChangeUnderWay& operator=(const ChangeUnderWay&) = delete;

 private:
  RunControl& control_;
};

}  // namespace

void whileRunning(Context& context, const std::function<void()>& act) {
  if (context.control == nullptr) return change(context, act);
  RunControl& control = *context.control;
  for (;;) {
    control.checkpoint();
    bool begun = false;
    context.program.ui.send([&] { begun = control.beginChange(); });
    if (begun) break;
  }
  const ChangeUnderWay underWay(control);
  change(context, act);
}

}  // namespace fotolun
