#pragma once
// The Form over the real widgets of the main window. Every call is made on the UI thread.
#include <QPixmap>
#include <functional>
#include <vector>

#include "form/form.h"

namespace fotolun::gui {

class MainWindow;

class QtForm final : public Form {
 public:
  explicit QtForm(MainWindow& window);

  // Opens the login window at address and returns once it has closed. The program sets it; a
  // form without it opens nothing.
  std::function<void(const Text& address)> loginWindowOpener;

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

  // The image list, as the list view's rows refer to it.
  const std::vector<QPixmap>& images() const { return images_; }

 private:
  MainWindow& window_;
  std::vector<QPixmap> images_;
};

// A modal message box owned by parent: the answer, Cancel for the close box and Escape. An empty
// caption gives the title of parent's window.
MessageAnswer showMessageBox(QWidget* parent, const Text& text, const Text& caption, MessageButtons buttons,
                             MessageIcon icon = MessageIcon::none);

}  // namespace fotolun::gui
