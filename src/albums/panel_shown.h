#pragma once
#include "form/form.h"
#include "form/run_control.h"

namespace fotolun {

// 画板1 stands for "a list is being built"; it must not stay up once the run is over.
class PanelShown {
 public:
  explicit PanelShown(Form& form) : form_(form) { form_.setVisible(Control::画板1, true); }
  ~PanelShown() {
    try {
      form_.setVisible(Control::画板1, false);
    } catch (const RunStopped&) {
      // A stopped run may not touch the form any more; whoever stopped it tidies up.
    }
  }
  PanelShown(const PanelShown&) = delete;
  PanelShown& operator=(const PanelShown&) = delete;

 private:
  Form& form_;
};

}  // namespace fotolun
