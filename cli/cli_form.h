#pragma once
// The headless form as the command line shows it: log lines and message boxes printed, the
// progress of the current album drawn from the progress bar and the labels.
#include <atomic>
#include <string>

#include "cli/terminal.h"
#include "form/headless_form.h"

namespace fotolun::cli {

class CliForm final : public HeadlessForm {
 public:
  explicit CliForm(Terminal& terminal);

 protected:
  void changed(const std::string& description) override;

 private:
  void showProgress();

  Terminal& terminal_;
  std::string lastProgress_;
  int lastStep_ = -1;
};

}  // namespace fotolun::cli
