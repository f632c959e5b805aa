// fotolun-page-shot URL FILE [WIDTH HEIGHT]: saves a picture of a web page once every picture in
// view has loaded; scripts/screenshot.sh takes the README's picture of the offline album with it.
// A tool for the docs, not installed.
#include <QApplication>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: fotolun-page-shot URL FILE [WIDTH HEIGHT]\n");
    return 2;
  }
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  const QUrl url = QUrl::fromUserInput(QString::fromLocal8Bit(argv[1]), QStringLiteral("."));
  const QString file = QString::fromLocal8Bit(argv[2]);
  QWebEngineView view;
  view.resize(argc == 5 ? std::atoi(argv[3]) : 1100, argc == 5 ? std::atoi(argv[4]) : 720);
  view.show();
  int result = 1;
  QTimer poll;
  int polls = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    view.page()->runJavaScript(QStringLiteral("[...document.images].every(i => i.complete)"),
                               [&](const QVariant& done) {
                                 if (!done.toBool() && ++polls < 50) return;
                                 poll.stop();
                                 // One more frame, so what loaded last is painted.
                                 QTimer::singleShot(500, [&] {
                                   result = view.grab().save(file) ? 0 : 1;
                                   if (result != 0) std::fprintf(stderr, "cannot write %s\n", argv[2]);
                                   QCoreApplication::quit();
                                 });
                               });
  });
  QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool ok) {
    if (!ok) {
      std::fprintf(stderr, "cannot load %s\n", argv[1]);
      QCoreApplication::exit(1);
      return;
    }
    poll.start(200);
  });
  view.load(url);
  app.exec();
  return result;
}
