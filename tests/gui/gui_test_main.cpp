// The window's tests run on Qt's offscreen platform, QtWebEngine without a sandbox or a GPU.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWebEngineProfile>
#include <cstdlib>

#include "look.h"

int main(int argc, char** argv) {
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
