#pragma once
// The form the tests drive: a headless form that records every change in order and answers
// message boxes as the test says.
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "form/headless_form.h"

namespace fotolun::testing {

// A UTF-8 literal as the program's GBK text.
Text gbk(std::string_view utf8);

class ScriptedForm : public HeadlessForm {
 public:
  ScriptedForm();

  // Answers for the next message boxes, in order; when none is queued the answer is Ok.
  void queueAnswer(MessageAnswer answer);

  struct Box {
    std::string text;     // UTF-8
    std::string caption;  // UTF-8
    MessageButtons buttons;
  };
  std::vector<Box> boxes() const;
  std::vector<std::string> logins() const;  // addresses the login window was opened at (UTF-8)
  std::vector<std::string> changes() const;  // every change, in order (UTF-8)
  // The log box's text in UTF-8, without its initial caption.
  std::string log() const;
  std::string textOf(Control c) const;  // UTF-8
  void clearChanges();

 protected:
  void changed(const std::string& description) override;

 private:
  mutable std::mutex mutex_;
  std::deque<MessageAnswer> answers_;
  std::vector<Box> boxes_;
  std::vector<std::string> logins_;
  std::vector<std::string> changes_;
};

}  // namespace fotolun::testing
