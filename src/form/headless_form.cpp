#include "form/headless_form.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "form/control_inventory.h"
#include "text/encoding.h"

namespace fotolun {

namespace {

std::string describe(std::string_view verb, Control c, const std::string& value) {
  std::string out(verb);
  out += ' ';
  out += controlName(c);
  out += " = ";
  out += value;
  return out;
}

}  // namespace

HeadlessForm::HeadlessForm() : controls_(kControlCount) {
  for (const ControlSpec& spec : controlInventory()) {
    State& state = at(spec.id);
    state.text = Utf8ToGbk(spec.caption);
    state.visible = !spec.hidden;
  }
  at(Control::窗口).text = Utf8ToGbk(kWindowTitle);
  at(Control::进度条1).maximum = 100;
  for (const ListColumn& column : kAlbumColumns) columnWidths_.push_back(column.width);
}

Text HeadlessForm::text(Control c) const { return at(c).text; }
void HeadlessForm::setText(Control c, const Text& text) {
  at(c).text = text;
  changed(describe("setText", c, GbkToUtf8(text)));
}
bool HeadlessForm::checked(Control c) const { return at(c).checked; }
void HeadlessForm::setChecked(Control c, bool on) {
  at(c).checked = on;
  changed(describe("setChecked", c, on ? "1" : "0"));
}
bool HeadlessForm::visible(Control c) const { return at(c).visible; }
void HeadlessForm::setVisible(Control c, bool on) {
  at(c).visible = on;
  changed(describe("setVisible", c, on ? "1" : "0"));
}
bool HeadlessForm::enabled(Control c) const { return at(c).enabled; }
void HeadlessForm::setEnabled(Control c, bool on) {
  at(c).enabled = on;
  changed(describe("setEnabled", c, on ? "1" : "0"));
}
int HeadlessForm::currentIndex(Control c) const { return at(c).index; }
void HeadlessForm::setCurrentIndex(Control c, int index) {
  at(c).index = index;
  changed(describe("setCurrentIndex", c, std::to_string(index)));
}
int HeadlessForm::position(Control c) const { return at(c).position; }
void HeadlessForm::setPosition(Control c, int position) {
  // A progress bar keeps its position within 0..maximum.
  State& state = at(c);
  state.position = std::max(0, std::min(position, state.maximum));
  changed(describe("setPosition", c, std::to_string(state.position)));
}
int HeadlessForm::maximum(Control c) const { return at(c).maximum; }
void HeadlessForm::setMaximum(Control c, int maximum) {
  State& state = at(c);
  state.maximum = std::max(0, maximum);
  state.position = std::min(state.position, state.maximum);
  changed(describe("setMaximum", c, std::to_string(state.maximum)));
}

void HeadlessForm::appendLog(const Text& text) {
  at(Control::编辑框_操作记录).text += text;
  changed("appendLog " + GbkToUtf8(text));
  if (onLog) onLog(text);
}

int HeadlessForm::rowCount() const { return static_cast<int>(rows_.size()); }
void HeadlessForm::deleteAllRows() {
  rows_.clear();
  selectedRow_ = -1;
  changed("deleteAllRows");
}
int HeadlessForm::appendRow() {
  rows_.push_back(Row{std::vector<Text>(std::size(kAlbumColumns)), false, -1});
  changed("appendRow " + std::to_string(rows_.size() - 1));
  return static_cast<int>(rows_.size()) - 1;
}

HeadlessForm::Row* HeadlessForm::row(int index) {
  return index >= 0 && index < rowCount() ? &rows_[static_cast<std::size_t>(index)] : nullptr;
}
const HeadlessForm::Row* HeadlessForm::row(int index) const {
  return index >= 0 && index < rowCount() ? &rows_[static_cast<std::size_t>(index)] : nullptr;
}

Text HeadlessForm::cell(int index, int column) const {
  const Row* r = row(index);
  if (r == nullptr || column < 0 || column >= static_cast<int>(r->cells.size())) return "";
  return r->cells[static_cast<std::size_t>(column)];
}
void HeadlessForm::setCell(int index, int column, const Text& text) {
  Row* r = row(index);
  if (r == nullptr || column < 0 || column >= static_cast<int>(r->cells.size())) return;
  r->cells[static_cast<std::size_t>(column)] = text;
  changed("setCell " + std::to_string(index) + "," + std::to_string(column) + " = " + GbkToUtf8(text));
}
bool HeadlessForm::rowChecked(int index) const {
  const Row* r = row(index);
  return r != nullptr && r->checked;
}
void HeadlessForm::setRowChecked(int index, bool on) {
  if (Row* r = row(index)) {
    r->checked = on;
    changed("setRowChecked " + std::to_string(index) + " = " + (on ? "1" : "0"));
  }
}
int HeadlessForm::columnWidth(int column) const {
  return column >= 0 && column < static_cast<int>(columnWidths_.size())
             ? columnWidths_[static_cast<std::size_t>(column)]
             : 0;
}
void HeadlessForm::setColumnWidth(int column, int width) {
  if (column < 0 || column >= static_cast<int>(columnWidths_.size())) return;
  columnWidths_[static_cast<std::size_t>(column)] = width;
  changed("setColumnWidth " + std::to_string(column) + " = " + std::to_string(width));
}
int HeadlessForm::selectedRow() const { return selectedRow_; }
void HeadlessForm::selectRow(int index) {
  selectedRow_ = row(index) != nullptr ? index : -1;
  changed("selectRow " + std::to_string(selectedRow_));
}
void HeadlessForm::scrollToRow(int index) {
  scrolledRow_ = index;
  changed("scrollToRow " + std::to_string(index));
}
void HeadlessForm::resetImageList() {
  images_.clear();
  changed("resetImageList");
}
int HeadlessForm::addCoverImage(const ByteBuffer& picture) {
  images_.push_back(picture);
  changed("addCoverImage " + std::to_string(picture.size()) + " bytes");
  return static_cast<int>(images_.size()) - 1;
}
void HeadlessForm::setRowImage(int index, int image) {
  if (Row* r = row(index)) {
    r->image = image;
    changed("setRowImage " + std::to_string(index) + " = " + std::to_string(image));
  }
}

MessageAnswer HeadlessForm::messageBox(const Text& text, const Text& caption, MessageButtons buttons,
                                       MessageIcon icon) {
  changed(std::string(icon == MessageIcon::warning ? "warningBox " : "messageBox ") + GbkToUtf8(caption) +
          ": " + GbkToUtf8(text));
  return onMessageBox ? onMessageBox(text, caption, buttons) : MessageAnswer::Ok;
}

void HeadlessForm::openLoginWindow(const Text& address) {
  changed("openLoginWindow " + GbkToUtf8(address));
  if (onOpenLoginWindow) onOpenLoginWindow(address);
}

void HeadlessForm::letMessagesRun() {}

void HeadlessForm::waitWithMessages(int ms) {
  if (onWait) {
    onWait(ms);
  } else if (ms > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}

void HeadlessForm::changed(const std::string&) {}

}  // namespace fotolun
