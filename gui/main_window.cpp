#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>

#include "app/main_window_controller.h"
#include "form/control_inventory.h"
#include "form/control_layout.h"
#include "qt_text.h"
#include "widgets.h"

namespace fotolun::gui {

namespace {

// The toolbar's own face; QFont substitutions map it to the CJK font the system has.
constexpr const char* kToolbarFont = "微软雅黑";

QTreeWidget* createAlbumList(QWidget* parent) {
  auto* list = new QTreeWidget(parent);
  list->setColumnCount(static_cast<int>(std::size(kAlbumColumns)));
  QStringList headers;
  for (const ListColumn& column : kAlbumColumns) headers << fromUtf8(column.header);
  list->setHeaderLabels(headers);
  for (int i = 0; i < list->columnCount(); ++i) {
    list->setColumnWidth(i, kAlbumColumns[static_cast<std::size_t>(i)].width);
  }
  // The last column takes whatever room the others leave, so a wider list has no empty strip.
  list->header()->setStretchLastSection(true);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setAllColumnsShowFocus(true);
  list->setIconSize(QSize(kCoverSize, kCoverSize));
  // Rows all have a cover or none, so all are as high as the first: without this, each layout
  // measured every row, and a list growing to thousands of albums held the window up for up
  // to a tenth of a second at a time.
  list->setUniformRowHeights(true);
  return list;
}

}  // namespace

MainWindow::MainWindow() { build(); }

QToolBar* MainWindow::toolbar() const { return as<QToolBar>(Control::工具条1); }
TabControl* MainWindow::tabs() const { return as<TabControl>(Control::高级选择夹1); }
QTreeWidget* MainWindow::albumList() const { return as<QTreeWidget>(Control::超级列表框1); }
CoverPanel* MainWindow::coverPanel() const { return as<CoverPanel>(Control::画板1); }

void MainWindow::build() {
  controls_[static_cast<std::size_t>(Control::窗口)] = this;
  setObjectName(fromUtf8(controlName(Control::窗口)));
  setWindowTitle(fromUtf8(kWindowTitle));
  setGeometry(kWindowLeft, kWindowTop, kWindowWidth, kWindowHeight);
  // Below the inventory's size its controls would be cut off.
  setMinimumSize(kWindowWidth, kWindowHeight);

  // The inventory lists every container before what it holds.
  for (const ControlSpec& spec : controlInventory()) {
    if (spec.id == Control::窗口) continue;
    QWidget* parent = control(spec.parent);
    if (spec.page >= 0) parent = tabs()->page(spec.page);
    QWidget* widget = create(spec.id, parent);
    widget->setObjectName(fromUtf8(controlName(spec.id)));
    widget->setGeometry(spec.left, spec.top, spec.width, spec.height);
    widget->setHidden(spec.hidden);
    controls_[static_cast<std::size_t>(spec.id)] = widget;
  }
}

QWidget* MainWindow::create(Control c, QWidget* parent) {
  const ControlSpec& spec = controlSpec(c);
  const QString caption = fromUtf8(spec.caption);
  switch (spec.kind) {
    case ControlKind::Toolbar: {
      auto* bar = new QToolBar(parent);
      bar->setFont(QFont(kToolbarFont, 11));
      bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
      bar->setMovable(false);
      for (std::size_t i = 0; i < std::size(kToolbarItems); ++i) {
        toolbarItems_[i] =
            kToolbarItems[i].empty() ? bar->addSeparator() : bar->addAction(fromUtf8(kToolbarItems[i]));
      }
      return bar;
    }
    case ControlKind::Label: {
      auto* label = new PressableLabel(caption, parent);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(c != Control::标签12);
      return label;
    }
    case ControlKind::LinkLabel: {
      auto* label = new PressableLabel(caption, parent);
      label->setTextFormat(Qt::PlainText);
      label->setCursor(Qt::PointingHandCursor);
      label->setStyleSheet(QStringLiteral("color: #0645ad; text-decoration: underline;"));
      return label;
    }
    case ControlKind::TabControl: {
      auto* tabs = new TabControl(parent);
      for (std::string_view page : kTabPages) tabs->addPage(fromUtf8(page));
      return tabs;
    }
    case ControlKind::GroupBox:
      return new QGroupBox(caption, parent);
    case ControlKind::ComboBox: {
      auto* combo = new QComboBox(parent);
      for (std::string_view item : kAlbumSourceItems) combo->addItem(fromUtf8(item));
      return combo;
    }
    case ControlKind::EditBox:
      return new QLineEdit(caption, parent);
    case ControlKind::MultiLineEdit: {
      auto* log = new QPlainTextEdit(caption, parent);
      log->setReadOnly(true);
      return log;
    }
    case ControlKind::Button:
      return new QPushButton(caption, parent);
    case ControlKind::CheckBox:
      return new QCheckBox(caption, parent);
    case ControlKind::ListView:
      return createAlbumList(parent);
    case ControlKind::DrawingPanel:
      return new CoverPanel(parent);
    case ControlKind::ProgressBar: {
      auto* bar = new QProgressBar(parent);
      bar->setRange(0, 100);
      bar->setValue(0);
      bar->setTextVisible(false);
      return bar;
    }
    case ControlKind::Window:
      break;
  }
  return new QWidget(parent);
}

void MainWindow::routeEventsTo(MainWindowController& controller) {
  controller_ = &controller;
  for (const ControlSpec& spec : controlInventory()) {
    const Control c = spec.id;
    switch (spec.kind) {
      case ControlKind::Button:
        connect(as<QPushButton>(c), &QPushButton::clicked, this, [&controller, c] { controller.clicked(c); });
        break;
      case ControlKind::CheckBox:
        // clicked, not toggled: it comes from the user only, after the box has changed.
        connect(as<QCheckBox>(c), &QCheckBox::clicked, this, [&controller, c] { controller.clicked(c); });
        break;
      case ControlKind::Label:
      case ControlKind::LinkLabel:
        as<PressableLabel>(c)->onLeftPress = [&controller, c] { controller.clicked(c); };
        break;
      default:
        break;
    }
  }
  connect(as<QComboBox>(Control::组合框1), &QComboBox::currentIndexChanged, this,
          [&controller] { controller.comboSelectionChanged(); });
  connect(as<QLineEdit>(Control::编辑框_耐心), &QLineEdit::editingFinished, this,
          [&controller] { controller.patienceEdited(); });
  for (int item = 0; item < static_cast<int>(toolbarItems_.size()); ++item) {
    if (toolbarItems_[static_cast<std::size_t>(item)]->isSeparator()) continue;
    connect(toolbarItems_[static_cast<std::size_t>(item)], &QAction::triggered, this,
            [&controller, item] { controller.toolbarItemClicked(item); });
  }
  QTreeWidget* list = albumList();
  connect(list, &QTreeWidget::itemClicked, this, [&controller] { controller.albumRowClicked(); });
  // The keyboard moves the current row too; a mouse press is left to itemClicked above, and the
  // form's own selection changes block the list's signals.
  connect(list, &QTreeWidget::currentItemChanged, this, [&controller](QTreeWidgetItem* current) {
    if (current != nullptr && QApplication::mouseButtons() == Qt::NoButton) controller.albumRowClicked();
  });
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOut();
}

void MainWindow::layOut() {
  for (const ControlSpec& spec : controlInventory()) {
    if (spec.id == Control::窗口) continue;
    const ControlRect place = placeControl(spec, width(), height());
    control(spec.id)->setGeometry(place.left, place.top, place.width, place.height);
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (controller_ != nullptr && !controller_->windowClosing()) {
    event->ignore();
    return;
  }
  event->accept();
  if (onClosed) onClosed();
}

}  // namespace fotolun::gui
