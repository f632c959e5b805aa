#include "support/scripted_form.h"

#include "form/control_inventory.h"
#include "text/encoding.h"

namespace fotolun::testing {

Text gbk(std::string_view utf8) { return Utf8ToGbk(utf8); }

ScriptedForm::ScriptedForm() {
  onMessageBox = [this](const Text& text, const Text& caption, MessageButtons buttons) {
    std::lock_guard lock(mutex_);
    boxes_.push_back(Box{GbkToUtf8(text), GbkToUtf8(caption), buttons});
    if (answers_.empty()) return MessageAnswer::Ok;
    MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  };
  onOpenLoginWindow = [this](const Text& address) {
    std::lock_guard lock(mutex_);
    logins_.push_back(GbkToUtf8(address));
  };
  onWait = [](int) {};
}

void ScriptedForm::queueAnswer(MessageAnswer answer) {
  std::lock_guard lock(mutex_);
  answers_.push_back(answer);
}

std::vector<ScriptedForm::Box> ScriptedForm::boxes() const {
  std::lock_guard lock(mutex_);
  return boxes_;
}

std::vector<std::string> ScriptedForm::logins() const {
  std::lock_guard lock(mutex_);
  return logins_;
}

std::vector<std::string> ScriptedForm::changes() const {
  std::lock_guard lock(mutex_);
  return changes_;
}

void ScriptedForm::clearChanges() {
  std::lock_guard lock(mutex_);
  changes_.clear();
}

std::string ScriptedForm::log() const {
  std::string all = GbkToUtf8(text(Control::编辑框_操作记录));
  std::string_view initial = controlSpec(Control::编辑框_操作记录).caption;
  if (all.compare(0, initial.size(), initial) == 0) all.erase(0, initial.size());
  return all;
}

std::string ScriptedForm::textOf(Control c) const { return GbkToUtf8(text(c)); }

void ScriptedForm::changed(const std::string& description) {
  std::lock_guard lock(mutex_);
  changes_.push_back(description);
}

}  // namespace fotolun::testing
