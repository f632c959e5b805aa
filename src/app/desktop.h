#pragma once
// What the program asks of the desktop around it. The Qt front end opens real dialogs and the
// desktop's file manager and browser; the command line and the tests answer for themselves.
#include "text/gbk_text.h"

namespace fotolun {

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Opens a folder in the file manager (GBK path); false when no file manager could be started.
  virtual bool openFolder(const Text& path) = 0;
  // Opens an address in the default browser.
  virtual void openUrl(const Text& url) = 0;
  // The folder chooser: title shown, starting at startFolder; "" when cancelled.
  virtual Text chooseFolder(const Text& title, const Text& startFolder) = 0;
  // Shows the album find window, not modal.
  virtual void openSearchWindow() = 0;
};

}  // namespace fotolun
