#pragma once
// The desktop program put together: the main window and its form, the UI thread, the program's
// state, the desktop, and the controller that handles every event. main() and the tests build
// the same thing.
#include <QList>
#include <QSslCertificate>
#include <QString>
#include <functional>
#include <memory>

#include "app/app_addresses.h"
#include "endpoints/service_hosts.h"
#include "main_window.h"
#include "program/program.h"
#include "program/program_folders.h"
#include "qt_desktop.h"
#include "qt_form.h"
#include "qt_ui_thread.h"

namespace fotolun {
class MainWindowController;
}

namespace fotolun::gui {

class LoginWindow;
class SearchWindow;

struct GuiOptions {
  ProgramFolders folders;
  ServiceHosts hosts = serviceHostsFromEnvironment();
  AppAddresses addresses = appAddressesFromEnvironment();
  Text proxy;   // for the program's requests and for the browser; "" = the environment's
  Text caFile;  // as Program::caFile, for the browser too
  double delayScale = 1.0;
  QtDesktop::Hooks desktop;
  // Called once the login window is up, while it is modal (tests drive it from here).
  std::function<void(LoginWindow& window)> onLoginWindowShown;
};

class GuiProgram {
 public:
  explicit GuiProgram(GuiOptions options);
  ~GuiProgram();
  GuiProgram(const GuiProgram&) = delete;
  GuiProgram& operator=(const GuiProgram&) = delete;

  // The window's created handler, then the window is shown.
  void start();

  MainWindow& window() { return window_; }
  QtForm& form() { return form_; }
  Program& program() { return program_; }
  MainWindowController& controller() { return *controller_; }
  // The find window once it has been opened, else null.
  SearchWindow* searchWindow() { return search_.get(); }

 private:
  void openLoginWindow(const Text& address);
  void openSearchWindow();

  GuiOptions options_;
  MainWindow window_;
  QtForm form_;
  QtUiThread ui_;
  Program program_;
  QtDesktop desktop_;
  std::unique_ptr<MainWindowController> controller_;
  std::unique_ptr<SearchWindow> search_;
};

// Points QtWebEngine at proxy ("http://host:port" or "host:port"); "" leaves the system's.
void useBrowserProxy(const Text& proxy);
// Adds the authorities of caFile (PEM) to those a certificate refused by the browser is checked
// against again (see browserMayAccept); "" adds none.
void useBrowserAuthorities(const Text& caFile);
// Whether a certificate the browser refused for want of a trusted issuer checks out, host name
// and dates included, against the system's authorities and those added above.
bool browserMayAccept(const QList<QSslCertificate>& chain, const QString& host);

}  // namespace fotolun::gui
