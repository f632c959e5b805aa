#pragma once
// The main window's event table. The Qt window, the command line and the tests route every event
// of the main window and of the album find window here, unchanged; nothing behavioural lives in
// the front ends.
//
// Every method is called on the UI thread.
#include <memory>

#include "albums/search_form.h"
#include "app/app_addresses.h"
#include "app/desktop.h"
#include "form/control.h"
#include "program/program.h"

namespace fotolun {

class AlbumLists;
class DownloadRun;

class MainWindowController {
 public:
  MainWindowController(Program& program, Desktop& desktop,
                       AppAddresses addresses = appAddressesFromEnvironment());
  // Stops and joins every worker the controller started.
  ~MainWindowController();
  MainWindowController(const MainWindowController&) = delete;
  MainWindowController& operator=(const MainWindowController&) = delete;

  // The window was created, before it is first shown: save folder, version, title, download mode.
  void windowCreated();
  // A button, a check box (its checked state already toggled), 标签_查找 (left press) or the link
  // label 标签7 was clicked. Controls without a handler do nothing.
  void clicked(Control control);
  // 组合框1's selection changed: the album source.
  void comboSelectionChanged();
  // The user finished editing 编辑框_耐心: a number of minutes becomes the patience and is kept in
  // the settings file; anything else is put back to the patience in force, with a word in the log.
  void patienceEdited();
  // 工具条1: item 0 batch download page, 2 version page (checks once per run), 4 feedback page.
  void toolbarItemClicked(int item);
  // The user closes the main window: during a download asks as 按钮_结束下载 does, and on yes
  // stops the run. Whether the window may close.
  bool windowClosing();
  // A row of 超级列表框1 was clicked (or selected by keyboard).
  void albumRowClicked();
  // A button of the album find window; searchForm is that window's form.
  void searchClicked(SearchForm& searchForm, SearchControl button);

  // The version shown in 标签_banben and the title.
  static constexpr const char* kVersion = "1.4";

  // For front ends and tests.
  AlbumLists& albumLists();
  DownloadRun& downloadRun();
  const AppAddresses& addresses() const;
  int searchRow() const;
  // Blocks until the version check that toolbar item 2 started (if any) has ended.
  void waitForBackgroundCheck();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace fotolun
