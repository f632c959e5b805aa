#pragma once
// The main window without a window: every control's state held in memory, starting as the
// control inventory describes it. The command line runs the handlers on it; the tests' scripted
// form builds on it. Dialogs go to hooks the owner sets.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "form/form.h"

namespace fotolun {

class HeadlessForm : public Form {
 public:
  HeadlessForm();

  // Hooks. Without onMessageBox every box is answered Ok; without onOpenLoginWindow the login
  // window closes at once.
  std::function<void(const Text& text)> onLog;
  std::function<MessageAnswer(const Text& text, const Text& caption, MessageButtons buttons)> onMessageBox;
  std::function<void(const Text& address)> onOpenLoginWindow;
  std::function<void(int ms)> onWait;

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
  void letMessagesRun() override;
  void waitWithMessages(int ms) override;

  // What a test or the command line may look at besides the Form calls.
  struct Row {
    std::vector<Text> cells;
    bool checked = false;
    int image = -1;
  };
  const std::vector<Row>& rows() const { return rows_; }
  const std::vector<ByteBuffer>& images() const { return images_; }
  int scrolledRow() const { return scrolledRow_; }

 protected:
  // Called after every change, described in UTF-8 ("setText 标签_动态 …"), for recording forms.
  virtual void changed(const std::string& description);

 private:
  struct State {
    Text text;
    bool checked = false;
    bool visible = true;
    bool enabled = true;
    int index = 0;
    int position = 0;
    int maximum = 100;
  };
  State& at(Control c) { return controls_[static_cast<std::size_t>(c)]; }
  const State& at(Control c) const { return controls_[static_cast<std::size_t>(c)]; }
  Row* row(int index);
  const Row* row(int index) const;

  std::vector<State> controls_;
  std::vector<Row> rows_;
  std::vector<int> columnWidths_;
  std::vector<ByteBuffer> images_;
  int selectedRow_ = -1;
  int scrolledRow_ = -1;
};

}  // namespace fotolun
