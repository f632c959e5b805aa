#pragma once
#include <functional>

#include "form/form.h"
#include "form/run_control.h"
#include "form/ui_thread.h"

namespace fotolun {

// The form as a worker sees it. Each call passes the run's checkpoint, then is sent to the UI
// thread and applied there only while the run is neither halted nor stopped (checked on the UI
// thread, where halt and stop are set), so nothing from a halted or stopped run reaches a control.
class WorkerForm final : public Form {
 public:
  WorkerForm(Form& target, UiThread& ui, RunControl& control);

  Text text(Control c) const override;
  void setText(Control c, const Text& text) override;
  bool checked(Control c) const override;
  void setChecked(Control c, bool on) override;
  bool visible(Control c) const override;
  void setVisible(Control c, bool on) override;
  bool enabled(Control c) const override;
  void setEnabled(Control c, bool on) override;
  int currentIndex(Control c) const override;
  void setCurrentIndex(Control c, int index) override;
  int position(Control c) const override;
  void setPosition(Control c, int position) override;
  int maximum(Control c) const override;
  void setMaximum(Control c, int maximum) override;
  void appendLog(const Text& text) override;
  int rowCount() const override;
  void deleteAllRows() override;
  int appendRow() override;
  Text cell(int row, int column) const override;
  void setCell(int row, int column, const Text& text) override;
  bool rowChecked(int row) const override;
  void setRowChecked(int row, bool on) override;
  int columnWidth(int column) const override;
  void setColumnWidth(int column, int width) override;
  int selectedRow() const override;
  void selectRow(int row) override;
  void scrollToRow(int row) override;
  void resetImageList() override;
  int addCoverImage(const ByteBuffer& picture) override;
  void setRowImage(int row, int image) override;
  MessageAnswer messageBox(const Text& text, const Text& caption, MessageButtons buttons,
                           MessageIcon icon = MessageIcon::none) override;
  void openLoginWindow(const Text& address) override;
  // On a worker: a checkpoint.
  void letMessagesRun() override;
  // On a worker: a sleep that a stop interrupts.
  void waitWithMessages(int ms) override;

 private:
  void apply(const std::function<void(Form&)>& call) const;

  Form& target_;
  UiThread& ui_;
  RunControl& control_;
};

}  // namespace fotolun
