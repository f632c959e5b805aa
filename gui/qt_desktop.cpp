#include "qt_desktop.h"

#include <QDesktopServices>
#include <QFileDialog>

#include "qt_text.h"

namespace fotolun::gui {

QtDesktop::QtDesktop(Hooks hooks, std::function<void()> openSearchWindow)
    : hooks_(std::move(hooks)), openSearchWindow_(std::move(openSearchWindow)) {
  if (!hooks_.chooseFolder) {
    hooks_.chooseFolder = [](const QString& title, const QString& startFolder) {
      return QFileDialog::getExistingDirectory(nullptr, title, startFolder);
    };
  }
  if (!hooks_.open) hooks_.open = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

bool QtDesktop::openFolder(const Text& path) { return hooks_.open(QUrl::fromLocalFile(fromGbk(path))); }

void QtDesktop::openUrl(const Text& url) { hooks_.open(QUrl(fromGbk(url))); }

Text QtDesktop::chooseFolder(const Text& title, const Text& startFolder) {
  return toGbk(hooks_.chooseFolder(fromGbk(title), fromGbk(startFolder)));
}

void QtDesktop::openSearchWindow() {
  if (openSearchWindow_) openSearchWindow_();
}

}  // namespace fotolun::gui
