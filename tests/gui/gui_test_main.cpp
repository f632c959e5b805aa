// The window's tests run on Qt's offscreen platform, QtWebEngine without a sandbox or a GPU.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWebEngineProfile>
#include <cstdlib>

#include "look.h"
#include "support/standin_fixture.h"

int main(int argc, char** argv) {
  // The browser keeps a certificate database in ~/.pki: in the tests' own home, never the user's,
  // and gone at the end; the XDG folders would lead back to the user's.
  const fotolun::testing::TempFolder home;
  setenv("HOME", home.path().c_str(), 1);
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
    unsetenv(name);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --no-sandbox", 0);
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  fotolun::gui::installChineseTranslations(app);
  fotolun::gui::applyLook(app);
  // No sign-in of one test may outlive it.
  QWebEngineProfile::defaultProfile()->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
  QWebEngineProfile::defaultProfile()->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
  return RUN_ALL_TESTS();
}
