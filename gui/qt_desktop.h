#pragma once
// The desktop around the window: the file manager and browser, the folder chooser, and the find
// window. The hooks are where tests answer for the user.
#include <QString>
#include <QUrl>
#include <functional>

#include "app/desktop.h"

namespace fotolun::gui {

class QtDesktop final : public Desktop {
 public:
  struct Hooks {
    // Returns the chosen folder, "" when cancelled. Default: the system's folder dialog.
    std::function<QString(const QString& title, const QString& startFolder)> chooseFolder;
    // Whether the desktop's file manager or browser could be started. Default: asks the desktop.
    std::function<bool(const QUrl& url)> open;
  };

  QtDesktop(Hooks hooks, std::function<void()> openSearchWindow);

  bool openFolder(const Text& path) override;
  void openUrl(const Text& url) override;
  Text chooseFolder(const Text& title, const Text& startFolder) override;
  void openSearchWindow() override;

 private:
  Hooks hooks_;
  std::function<void()> openSearchWindow_;
};

}  // namespace fotolun::gui
