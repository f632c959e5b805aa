#include "qt_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

#include "form/control_inventory.h"
#include "main_window.h"
#include "qt_text.h"
#include "widgets.h"

namespace fotolun::gui {

namespace {

// The core's line ends are "\r\n", as a Windows edit box holds them; Qt's are "\n".
QString toDisplayLines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}
QString fromDisplayLines(QString text) {
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return text;
}

// A text column is as wide as its widest cell and never narrower than the inventory made it:
// measuring the one cell written keeps a list of thousands of rows from being measured whole.
// The check box and cover columns keep the widths the program gives them.
bool sizedToContent(int column) { return column != 0 && column != column::封面; }

void fitColumn(QTreeWidget* list, int column, const QString& text) {
  if (!sizedToContent(column)) return;
  const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
  const int needed = list->fontMetrics().horizontalAdvance(text) + 2 * margin + 4;
  if (needed > list->columnWidth(column)) list->setColumnWidth(column, needed);
}

}  // namespace

QtForm::QtForm(MainWindow& window) : window_(window) {}

Text QtForm::text(Control c) const {
  QWidget* w = window_.control(c);
  switch (controlSpec(c).kind) {
    case ControlKind::Window:
      return toGbk(w->windowTitle());
    case ControlKind::Label:
    case ControlKind::LinkLabel:
      return toGbk(static_cast<QLabel*>(w)->text());
    case ControlKind::GroupBox:
      return toGbk(static_cast<QGroupBox*>(w)->title());
    case ControlKind::EditBox:
      return toGbk(static_cast<QLineEdit*>(w)->text());
    case ControlKind::MultiLineEdit:
      return toGbk(fromDisplayLines(static_cast<QPlainTextEdit*>(w)->toPlainText()));
    case ControlKind::Button:
    case ControlKind::CheckBox:
      return toGbk(static_cast<QAbstractButton*>(w)->text());
    case ControlKind::ComboBox:
      return toGbk(static_cast<QComboBox*>(w)->currentText());
    case ControlKind::TabControl: {
      auto* tabs = static_cast<TabControl*>(w);
      return toGbk(tabs->pageCaption(tabs->currentIndex()));
    }
    default:
      return "";
  }
}

void QtForm::setText(Control c, const Text& text) {
  QWidget* w = window_.control(c);
  const QString value = fromGbk(text);
  switch (controlSpec(c).kind) {
    case ControlKind::Window:
      w->setWindowTitle(value);
      break;
    case ControlKind::Label:
    case ControlKind::LinkLabel:
      static_cast<QLabel*>(w)->setText(value);
      break;
    case ControlKind::GroupBox:
      static_cast<QGroupBox*>(w)->setTitle(value);
      break;
    case ControlKind::EditBox:
      static_cast<QLineEdit*>(w)->setText(value);
      break;
    case ControlKind::MultiLineEdit:
      static_cast<QPlainTextEdit*>(w)->setPlainText(toDisplayLines(value));
      break;
    case ControlKind::Button:
    case ControlKind::CheckBox:
      static_cast<QAbstractButton*>(w)->setText(value);
      break;
    default:
      break;
  }
}

bool QtForm::checked(Control c) const {
  auto* box = qobject_cast<QCheckBox*>(window_.control(c));
  return box != nullptr && box->isChecked();
}

void QtForm::setChecked(Control c, bool on) {
  // setChecked does not emit clicked, so the box's click handler does not run, as with a
  // program's own change on Windows.
  if (auto* box = qobject_cast<QCheckBox*>(window_.control(c))) box->setChecked(on);
}

bool QtForm::visible(Control c) const { return !window_.control(c)->isHidden(); }

void QtForm::setVisible(Control c, bool on) {
  if (c == Control::窗口) return;
  window_.control(c)->setVisible(on);
}

bool QtForm::enabled(Control c) const { return window_.control(c)->isEnabled(); }

void QtForm::setEnabled(Control c, bool on) {
  if (c == Control::窗口) return;
  window_.control(c)->setEnabled(on);
}

int QtForm::currentIndex(Control c) const {
  if (auto* combo = qobject_cast<QComboBox*>(window_.control(c))) return combo->currentIndex();
  if (c == Control::高级选择夹1) return window_.tabs()->currentIndex();
  return -1;
}

void QtForm::setCurrentIndex(Control c, int index) {
  if (auto* combo = qobject_cast<QComboBox*>(window_.control(c))) {
    // Only the user's choice raises the selection-changed event.
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(index);
  } else if (c == Control::高级选择夹1) {
    window_.tabs()->setCurrentIndex(index);
  }
}

// A range of 0..0 makes QProgressBar a busy indicator that never stops, where a Windows progress
// bar with no range is simply empty: such a bar is kept at 0 of 1, its form maximum 0 beside it.
namespace {
const char* const kFormMaximum = "formMaximum";
int formMaximum(const QProgressBar* bar) {
  const QVariant kept = bar->property(kFormMaximum);
  return kept.isValid() ? kept.toInt() : bar->maximum();
}
}  // namespace

int QtForm::position(Control c) const {
  auto* bar = qobject_cast<QProgressBar*>(window_.control(c));
  return bar != nullptr ? std::min(std::max(bar->value(), 0), formMaximum(bar)) : 0;
}

void QtForm::setPosition(Control c, int position) {
  // QProgressBar ignores a value outside its range; a Windows progress bar clamps it.
  if (auto* bar = qobject_cast<QProgressBar*>(window_.control(c))) {
    bar->setValue(std::clamp(position, 0, formMaximum(bar)));
  }
}

int QtForm::maximum(Control c) const {
  auto* bar = qobject_cast<QProgressBar*>(window_.control(c));
  return bar != nullptr ? formMaximum(bar) : 0;
}

void QtForm::setMaximum(Control c, int maximum) {
  if (auto* bar = qobject_cast<QProgressBar*>(window_.control(c))) {
    const int position = std::max(bar->value(), 0);
    maximum = std::max(0, maximum);
    bar->setProperty(kFormMaximum, maximum);
    bar->setRange(0, std::max(1, maximum));
    bar->setValue(std::min(position, maximum));
  }
}

void QtForm::appendLog(const Text& text) {
  auto* log = window_.as<QPlainTextEdit>(Control::编辑框_操作记录);
  log->moveCursor(QTextCursor::End);
  log->insertPlainText(toDisplayLines(fromGbk(text)));
  log->moveCursor(QTextCursor::End);
  log->ensureCursorVisible();
}

int QtForm::rowCount() const { return window_.albumList()->topLevelItemCount(); }

void QtForm::deleteAllRows() {
  QTreeWidget* list = window_.albumList();
  const QSignalBlocker quiet(list);
  list->clear();
  for (int column = 0; column < list->columnCount(); ++column) {
    if (sizedToContent(column))
      list->setColumnWidth(column, kAlbumColumns[static_cast<std::size_t>(column)].width);
  }
}

int QtForm::appendRow() {
  QTreeWidget* list = window_.albumList();
  auto* item = new QTreeWidgetItem(list);
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(0, Qt::Unchecked);
  return list->indexOfTopLevelItem(item);
}

Text QtForm::cell(int row, int column) const {
  QTreeWidgetItem* item = window_.albumList()->topLevelItem(row);
  if (item == nullptr || column < 0 || column >= item->columnCount()) return "";
  return toGbk(item->text(column));
}

void QtForm::setCell(int row, int column, const Text& text) {
  QTreeWidgetItem* item = window_.albumList()->topLevelItem(row);
  if (item == nullptr || column < 0 || column >= window_.albumList()->columnCount()) return;
  const QString value = fromGbk(text);
  item->setText(column, value);
  fitColumn(window_.albumList(), column, value);
}

bool QtForm::rowChecked(int row) const {
  QTreeWidgetItem* item = window_.albumList()->topLevelItem(row);
  return item != nullptr && item->checkState(0) == Qt::Checked;
}

void QtForm::setRowChecked(int row, bool on) {
  if (QTreeWidgetItem* item = window_.albumList()->topLevelItem(row)) {
    item->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
  }
}

int QtForm::columnWidth(int column) const {
  QTreeWidget* list = window_.albumList();
  return column >= 0 && column < list->columnCount() ? list->columnWidth(column) : 0;
}

void QtForm::setColumnWidth(int column, int width) {
  QTreeWidget* list = window_.albumList();
  if (column >= 0 && column < list->columnCount()) list->setColumnWidth(column, std::max(0, width));
}

int QtForm::selectedRow() const {
  QTreeWidget* list = window_.albumList();
  const QList<QTreeWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.first());
}

void QtForm::selectRow(int row) {
  QTreeWidget* list = window_.albumList();
  // A selection the program makes is not a row click.
  const QSignalBlocker quiet(list);
  if (QTreeWidgetItem* item = list->topLevelItem(row)) {
    list->setCurrentItem(item);
  } else {
    list->clearSelection();
  }
}

void QtForm::scrollToRow(int row) {
  QTreeWidget* list = window_.albumList();
  if (QTreeWidgetItem* item = list->topLevelItem(row)) list->scrollToItem(item);
}

void QtForm::resetImageList() { images_.clear(); }

int QtForm::addCoverImage(const ByteBuffer& picture) {
  CoverPanel* panel = window_.coverPanel();
  panel->draw(QByteArray(picture.data(), static_cast<qsizetype>(picture.size())));
  QPixmap image = QPixmap::fromImage(panel->canvas());
  image.setMask(image.createMaskFromColor(Qt::white));
  images_.push_back(image);
  return static_cast<int>(images_.size()) - 1;
}

void QtForm::setRowImage(int row, int image) {
  QTreeWidgetItem* item = window_.albumList()->topLevelItem(row);
  if (item == nullptr) return;
  if (image >= 0 && image < static_cast<int>(images_.size())) {
    item->setIcon(column::封面, QIcon(images_[static_cast<std::size_t>(image)]));
  } else {
    item->setIcon(column::封面, QIcon());
  }
}

MessageAnswer QtForm::messageBox(const Text& text, const Text& caption, MessageButtons buttons,
                                 MessageIcon icon) {
  return showMessageBox(&window_, text, caption, buttons, icon);
}

void QtForm::openLoginWindow(const Text& address) {
  if (loginWindowOpener) loginWindowOpener(address);
}

void QtForm::letMessagesRun() { QCoreApplication::processEvents(); }

void QtForm::waitWithMessages(int ms) {
  if (ms <= 0) {
    QCoreApplication::processEvents();
    return;
  }
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

MessageAnswer showMessageBox(QWidget* parent, const Text& text, const Text& caption, MessageButtons buttons,
                             MessageIcon icon) {
  QMessageBox box(parent);
  box.setObjectName(QStringLiteral("messageBox"));
  box.setIcon(icon == MessageIcon::warning ? QMessageBox::Warning : QMessageBox::NoIcon);
  box.setTextFormat(Qt::PlainText);
  box.setText(fromGbk(text));
  box.setWindowTitle(caption.empty() && parent != nullptr ? parent->window()->windowTitle()
                                                          : fromGbk(caption));
  QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  if (buttons == MessageButtons::OkCancel) {
    box.setEscapeButton(box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole));
  } else {
    box.setEscapeButton(ok);
  }
  box.exec();
  return box.clickedButton() == ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

}  // namespace fotolun::gui
