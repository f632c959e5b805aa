// fotolun: the desktop program.
//
//   fotolun [--proxy URL] [--ca-file FILE]
//   fotolun --demo [--sample-list] [--screenshot FILE]
//
// --demo runs the stand-in photo service inside the program and sends every request there, so
// signing in, listing and downloading work without the internet; the program and its browser
// then trust the stand-in's test authority. --sample-list then signs in as the sample account and
// lists its albums at start. --screenshot saves the window to FILE once it is up (and the list is
// filled) and quits.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryFile>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/main_window_controller.h"
#include "gui_program.h"
#include "look.h"
#include "qt_text.h"
#include "session/session_credentials.h"
#include "standin/standin.h"
#include "text/encoding.h"

namespace {

constexpr const char* kUsage =
    "Usage: fotolun [--proxy URL] [--ca-file FILE]\n"
    "       fotolun --demo [--sample-list] [--screenshot FILE]\n"
    "\n"
    "  --proxy URL        send every request, the browser's included, through URL\n"
    "                     (else http_proxy / HTTP_PROXY)\n"
    "  --ca-file FILE     trust the authorities in FILE (PEM) for https beside the system's, in\n"
    "                     the browser too (else FOTOLUN_CA_FILE)\n"
    "  --demo             run the stand-in photo service inside the program: no internet needed\n"
    "  --sample-list      with --demo: sign in as the sample account and list its albums\n"
    "  --screenshot FILE  save the window to FILE once it is up, then quit\n";

struct Arguments {
  bool demo = false;
  bool sampleList = false;
  QString proxy;
  QString caFile;
  QString screenshot;
};

bool parse(const QStringList& args, Arguments& out) {
  for (int i = 1; i < args.size(); ++i) {
    const QString& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (arg == QLatin1String("--demo")) {
      out.demo = true;
    } else if (arg == QLatin1String("--sample-list")) {
      out.sampleList = true;
    } else if (arg == QLatin1String("--proxy") && hasValue) {
      out.proxy = args[++i];
    } else if (arg == QLatin1String("--ca-file") && hasValue) {
      out.caFile = args[++i];
    } else if (arg == QLatin1String("--screenshot") && hasValue) {
      out.screenshot = args[++i];
    } else {
      std::fprintf(stderr, "fotolun: unknown argument: %s\n\n%s", arg.toLocal8Bit().constData(), kUsage);
      return false;
    }
  }
  return true;
}

// Saves the window once the album list has settled (or at once when nothing is being listed),
// then ends the program.
void saveScreenshotWhenReady(fotolun::gui::GuiProgram& gui, const QString& file, bool waitForList) {
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  auto* timer = new QTimer(&gui.window());
  QObject::connect(timer, &QTimer::timeout, &gui.window(), [&gui, file, waitForList, clock, timer] {
    const bool listed =
        !gui.window().control(fotolun::Control::画板1)->isVisible() && gui.form().rowCount() > 0;
    if (waitForList && !listed && clock->elapsed() < 20000) return;
    timer->stop();
    if (!gui.window().grab().save(file))
      std::fprintf(stderr, "fotolun: cannot write %s\n", file.toLocal8Bit().constData());
    QCoreApplication::quit();
  });
  timer->start(300);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  fotolun::gui::applyLook(app);

  Arguments args;
  if (!parse(QCoreApplication::arguments(), args)) return 2;

  fotolun::gui::GuiOptions options;
  options.programDirectory =
      fotolun::gui::toGbk(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
  options.proxy = fotolun::gui::toGbk(args.proxy);
  const QString caFile = !args.caFile.isEmpty() ? args.caFile : qEnvironmentVariable("FOTOLUN_CA_FILE");
  // Named but unreadable, it would fail every https page; better said at once.
  if (!caFile.isEmpty() && !QFile(caFile).open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "fotolun: cannot read the CA file %s\n", caFile.toLocal8Bit().constData());
    return 2;
  }
  options.caFile = QFile::encodeName(caFile).toStdString();

  std::unique_ptr<fotolun::standin::Standin> standin;
  QTemporaryFile authority;  // the demo's: the stand-in's authority, trusted as through --ca-file
  if (args.demo) {
    fotolun::standin::StandinOptions standinOptions;
    standinOptions.staticImageHost = options.hosts.staticImage;
    standin = std::make_unique<fotolun::standin::Standin>(standinOptions);
    try {
      standin->start();
    } catch (const std::exception& error) {
      std::fprintf(stderr, "fotolun: the stand-in service cannot start: %s\n", error.what());
      return 1;
    }
    options.proxy = standin->proxyUrl();
    authority.setFileTemplate(QDir::tempPath() + QStringLiteral("/fotolun-demo-authority-XXXXXX.pem"));
    if (!authority.open() ||
        authority.write(QByteArray::fromStdString(fotolun::standin::Standin::certificateAuthorityPem())) <
            0 ||
        !authority.flush()) {
      std::fprintf(stderr, "fotolun: cannot write the stand-in's authority to a temporary file\n");
      return 1;
    }
    options.caFile = QFile::encodeName(authority.fileName()).toStdString();
  }

  fotolun::gui::GuiProgram gui(std::move(options));
  gui.window().onClosed = [] { QCoreApplication::quit(); };
  gui.start();

  if (standin) {
    const std::string qq = standin->data().ordinaryAccount().qq;
    gui.form().setText(fotolun::Control::编辑框_号码, qq);
    if (args.sampleList) {
      gui.program().credentials.set(fotolun::CredentialsFromCookieText(standin->signInCookieText(qq)));
      gui.form().setChecked(fotolun::Control::选择框_封面图, true);
      QTimer::singleShot(0, &gui.window(),
                         [&gui] { gui.controller().clicked(fotolun::Control::按钮_获取相册封面); });
    }
  }
  if (!args.screenshot.isEmpty()) saveScreenshotWhenReady(gui, args.screenshot, standin && args.sampleList);

  return app.exec();
}
