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

  // What the service's answers told the user.
  bool notSignedIn() const { return notSignedIn_; }
  bool noPermission() const { return noPermission_; }

 protected:
  void changed(const std::string& description) override;

 private:
  void showProgress();

  Terminal& terminal_;
  std::atomic<bool> notSignedIn_{false};
  std::atomic<bool> noPermission_{false};
  std::string lastProgress_;
  int lastStep_ = -1;
};

}  // namespace fotolun::cli
