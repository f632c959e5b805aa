#include "form/worker_form.h"

#include <chrono>

namespace fotolun {

WorkerForm::WorkerForm(Form& target, UiThread& ui, RunControl& control)
    : target_(target), ui_(ui), control_(control) {}

void WorkerForm::apply(const std::function<void(Form&)>& call) const {
  for (;;) {
    control_.checkpoint();
    bool applied = false;
    ui_.send([&] {
      if (control_.halted() || control_.stopped()) return;
      call(target_);
      applied = true;
    });
    if (applied) return;
  }
}

Text WorkerForm::text(Control c) const {
  Text out;
  apply([&](Form& f) { out = f.text(c); });
  return out;
}
void WorkerForm::setText(Control c, const Text& text) {
  apply([&](Form& f) { f.setText(c, text); });
}
bool WorkerForm::checked(Control c) const {
  bool out = false;
  apply([&](Form& f) { out = f.checked(c); });
  return out;
}
void WorkerForm::setChecked(Control c, bool on) {
  apply([&](Form& f) { f.setChecked(c, on); });
}
bool WorkerForm::enabled(Control c) const {
  bool out = false;
  apply([&](Form& f) { out = f.enabled(c); });
  return out;
}
void WorkerForm::setEnabled(Control c, bool on) {
  apply([&](Form& f) { f.setEnabled(c, on); });
}
bool WorkerForm::visible(Control c) const {
  bool out = false;
  apply([&](Form& f) { out = f.visible(c); });
  return out;
}
void WorkerForm::setVisible(Control c, bool on) {
  apply([&](Form& f) { f.setVisible(c, on); });
}
int WorkerForm::currentIndex(Control c) const {
  int out = -1;
  apply([&](Form& f) { out = f.currentIndex(c); });
  return out;
}
void WorkerForm::setCurrentIndex(Control c, int index) {
  apply([&](Form& f) { f.setCurrentIndex(c, index); });
}
int WorkerForm::position(Control c) const {
  int out = 0;
  apply([&](Form& f) { out = f.position(c); });
  return out;
}
void WorkerForm::setPosition(Control c, int position) {
  apply([&](Form& f) { f.setPosition(c, position); });
}
int WorkerForm::maximum(Control c) const {
  int out = 0;
  apply([&](Form& f) { out = f.maximum(c); });
  return out;
}
void WorkerForm::setMaximum(Control c, int maximum) {
  apply([&](Form& f) { f.setMaximum(c, maximum); });
}
void WorkerForm::appendLog(const Text& text) {
  apply([&](Form& f) { f.appendLog(text); });
}
int WorkerForm::rowCount() const {
  int out = 0;
  apply([&](Form& f) { out = f.rowCount(); });
  return out;
}
void WorkerForm::deleteAllRows() {
  apply([&](Form& f) { f.deleteAllRows(); });
}
int WorkerForm::appendRow() {
  int out = -1;
  apply([&](Form& f) { out = f.appendRow(); });
  return out;
}
Text WorkerForm::cell(int row, int column) const {
  Text out;
  apply([&](Form& f) { out = f.cell(row, column); });
  return out;
}
void WorkerForm::setCell(int row, int column, const Text& text) {
  apply([&](Form& f) { f.setCell(row, column, text); });
}
bool WorkerForm::rowChecked(int row) const {
  bool out = false;
  apply([&](Form& f) { out = f.rowChecked(row); });
  return out;
}
void WorkerForm::setRowChecked(int row, bool on) {
  apply([&](Form& f) { f.setRowChecked(row, on); });
}
int WorkerForm::columnWidth(int column) const {
  int out = 0;
  apply([&](Form& f) { out = f.columnWidth(column); });
  return out;
}
void WorkerForm::setColumnWidth(int column, int width) {
  apply([&](Form& f) { f.setColumnWidth(column, width); });
}
int WorkerForm::selectedRow() const {
  int out = -1;
  apply([&](Form& f) { out = f.selectedRow(); });
  return out;
}
void WorkerForm::selectRow(int row) {
  apply([&](Form& f) { f.selectRow(row); });
}
void WorkerForm::scrollToRow(int row) {
  apply([&](Form& f) { f.scrollToRow(row); });
}
void WorkerForm::resetImageList() {
  apply([&](Form& f) { f.resetImageList(); });
}
int WorkerForm::addCoverImage(const ByteBuffer& picture) {
  int out = -1;
  apply([&](Form& f) { out = f.addCoverImage(picture); });
  return out;
}
void WorkerForm::setRowImage(int row, int image) {
  apply([&](Form& f) { f.setRowImage(row, image); });
}
MessageAnswer WorkerForm::messageBox(const Text& text, const Text& caption, MessageButtons buttons,
                                     MessageIcon icon) {
  MessageAnswer out = MessageAnswer::Cancel;
  apply([&](Form& f) { out = f.messageBox(text, caption, buttons, icon); });
  return out;
}
void WorkerForm::openLoginWindow(const Text& address) {
  apply([&](Form& f) { f.openLoginWindow(address); });
}
void WorkerForm::letMessagesRun() { control_.checkpoint(); }
void WorkerForm::waitWithMessages(int ms) { control_.sleepFor(std::chrono::milliseconds(ms)); }

}  // namespace fotolun
