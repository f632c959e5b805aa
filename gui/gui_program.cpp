#include "gui_program.h"

#include <QFile>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTimer>

#include "app/main_window_controller.h"
#include "login_window.h"
#include "qt_text.h"
#include "search_window.h"

namespace fotolun::gui {

GuiProgram::GuiProgram(GuiOptions options)
    : options_(std::move(options)),
      form_(window_),
      program_(form_, ui_),
      desktop_(options_.desktop, [this] { openSearchWindow(); }) {
  program_.hosts = options_.hosts;
  program_.proxy = options_.proxy;
  program_.folders = options_.folders;
  program_.caFile = options_.caFile;
  program_.delayScale = options_.delayScale;
  useBrowserProxy(options_.proxy);
  useBrowserAuthorities(options_.caFile);
  form_.loginWindowOpener = [this](const Text& address) { openLoginWindow(address); };
  controller_ = std::make_unique<MainWindowController>(program_, desktop_, options_.addresses);
  window_.routeEventsTo(*controller_);
}

GuiProgram::~GuiProgram() {
  // The controller joins its workers; release any worker waiting for this thread first.
  ui_.shutDown();
  search_.reset();
  controller_.reset();
}

void GuiProgram::start() {
  controller_->windowCreated();
  window_.show();
}

void GuiProgram::openLoginWindow(const Text& address) {
  LoginWindow login(program_, address);
  if (options_.onLoginWindowShown) {
    QTimer::singleShot(0, &login, [this, &login] { options_.onLoginWindowShown(login); });
  }
  login.exec();
}

void GuiProgram::openSearchWindow() {
  if (!search_) search_ = std::make_unique<SearchWindow>(*controller_);
  search_->show();
  search_->raise();
  search_->activateWindow();
}

void useBrowserProxy(const Text& proxy) {
  if (proxy.empty()) return;
  QString address = fromGbk(proxy);
  if (!address.contains(QStringLiteral("://"))) address.prepend(QStringLiteral("http://"));
  const QUrl url(address);
  // QtWebEngine follows the application proxy, but only while system configuration is off.
  QNetworkProxyFactory::setUseSystemConfiguration(false);
  QNetworkProxy::setApplicationProxy(
      QNetworkProxy(QNetworkProxy::HttpProxy, url.host(), static_cast<quint16>(url.port(80))));
}

void useBrowserAuthorities(const Text& caFile) {
  if (caFile.empty()) return;
  // QtWebEngine keeps to the system's store, which a program cannot add to; Qt's own check, which
  // browserMayAccept asks, takes its authorities from the default configuration.
  QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
  configuration.addCaCertificates(QSslCertificate::fromPath(QFile::decodeName(caFile.c_str()), QSsl::Pem));
  QSslConfiguration::setDefaultConfiguration(configuration);
}

bool browserMayAccept(const QList<QSslCertificate>& chain, const QString& host) {
  return !chain.isEmpty() && QSslCertificate::verify(chain, host).isEmpty();
}

}  // namespace fotolun::gui
