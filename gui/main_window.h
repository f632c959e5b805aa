#pragma once
// The main window, built from the control inventory: every control at its place, named by the
// form's own name (the Qt object name), in its tab page and group box. The inventory's size is
// the window's smallest; made larger, the window gives the room to the album list and the log.
#include <QWidget>
#include <array>
#include <functional>

#include "form/control.h"

class QAction;
class QToolBar;
class QTreeWidget;

namespace fotolun {
class MainWindowController;
}

namespace fotolun::gui {

class CoverPanel;
class TabControl;

class MainWindow : public QWidget {
 public:
  MainWindow();

  QWidget* control(Control c) const { return controls_[static_cast<std::size_t>(c)]; }
  template <class W>
  W* as(Control c) const {
    return static_cast<W*>(control(c));
  }
  QToolBar* toolbar() const;
  // Items 0 to 4 of 工具条1; 1 and 3 are separators.
  QAction* toolbarItem(int item) const { return toolbarItems_[static_cast<std::size_t>(item)]; }
  TabControl* tabs() const;
  QTreeWidget* albumList() const;
  CoverPanel* coverPanel() const;

  // Every event the window's controls raise goes to the controller.
  void routeEventsTo(MainWindowController& controller);

  // Runs when the window is closed (the controller let it); the program ends with its main window.
  std::function<void()> onClosed;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // The list and the log take the room a larger window adds (form/control_layout.h).
  void resizeEvent(QResizeEvent* event) override;

 private:
  void build();
  void layOut();
  QWidget* create(Control c, QWidget* parent);

  std::array<QWidget*, kControlCount> controls_{};
  std::array<QAction*, 5> toolbarItems_{};
  MainWindowController* controller_ = nullptr;
};

}  // namespace fotolun::gui
