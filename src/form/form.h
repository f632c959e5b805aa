#pragma once
// The main window as the core sees it: its controls, read and written by the form's own names.
//
// Every call is made on the UI thread. Workers reach the form through WorkerForm, which carries
// each call to the UI thread and waits until it was applied. Texts are GBK.
#include "form/control.h"
#include "text/gbk_text.h"

namespace fotolun {

enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };
// A box that tells of something gone wrong carries the warning sign.
enum class MessageIcon { none, warning };

class Form {
 public:
  virtual ~Form() = default;

  // Captions and texts of labels, edit boxes, buttons, group boxes; Control::窗口 is the title.
  virtual Text text(Control c) const = 0;
  virtual void setText(Control c, const Text& text) = 0;
  virtual bool checked(Control c) const = 0;
  virtual void setChecked(Control c, bool on) = 0;
  virtual bool visible(Control c) const = 0;
  virtual void setVisible(Control c, bool on) = 0;
  // Whether the user may operate the control (a disabled button does not react to clicks).
  virtual bool enabled(Control c) const = 0;
  virtual void setEnabled(Control c, bool on) = 0;
  // 组合框1 (-1 = no selection) and 高级选择夹1 (the page).
  virtual int currentIndex(Control c) const = 0;
  virtual void setCurrentIndex(Control c, int index) = 0;
  // 进度条1.
  virtual int position(Control c) const = 0;
  virtual void setPosition(Control c, int position) = 0;
  virtual int maximum(Control c) const = 0;
  virtual void setMaximum(Control c, int maximum) = 0;

  // OperationLog (编辑框_操作记录): appended at the end, newest line scrolled into view.
  virtual void appendLog(const Text& text) = 0;

  // AlbumListView (超级列表框1). Rows and columns are 0-based.
  virtual int rowCount() const = 0;
  virtual void deleteAllRows() = 0;
  virtual int appendRow() = 0;  // returns the new row's index
  virtual Text cell(int row, int column) const = 0;
  virtual void setCell(int row, int column, const Text& text) = 0;
  virtual bool rowChecked(int row) const = 0;
  virtual void setRowChecked(int row, bool on) = 0;
  virtual int columnWidth(int column) const = 0;
  virtual void setColumnWidth(int column, int width) = 0;
  virtual int selectedRow() const = 0;  // -1 when none
  virtual void selectRow(int row) = 0;
  virtual void scrollToRow(int row) = 0;
  // The image list of 100 × 100 pictures and the rows' images.
  virtual void resetImageList() = 0;
  // Draws picture (encoded image bytes) onto 画板1 at (0, 0) scaled to 100 × 100, takes the
  // picture back and adds it to the image list (white transparent). Returns its index.
  virtual int addCoverImage(const ByteBuffer& picture) = 0;
  virtual void setRowImage(int row, int image) = 0;

  // A modal message box; returns the answer (Ok for a plain OK box).
  virtual MessageAnswer messageBox(const Text& text, const Text& caption, MessageButtons buttons,
                                   MessageIcon icon = MessageIcon::none) = 0;
  // Opens the login window at address, modal; returns once it is closed.
  virtual void openLoginWindow(const Text& address) = 0;
  // Lets pending window messages run once.
  virtual void letMessagesRun() = 0;
  // Waits ms milliseconds on the UI thread while window messages keep running.
  virtual void waitWithMessages(int ms) = 0;
};

}  // namespace fotolun
