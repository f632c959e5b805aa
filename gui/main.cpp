// fotolun: the desktop program.
//
//   fotolun [--proxy URL] [--ca-file FILE] [--save DIR]
//   fotolun --demo [--sample-list] [--screenshot FILE]
//   fotolun --help | --version
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
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "app/main_window_controller.h"
#include "gui_program.h"
#include "look.h"
#include "platform/path.h"
#include "platform/process.h"
#include "session/session_credentials.h"
#include "standin/standin.h"
#include "text/encoding.h"

namespace {

constexpr const char* kUsage =
    "Usage: fotolun [--proxy URL] [--ca-file FILE] [--save DIR]\n"
    "       fotolun --demo [--sample-list] [--screenshot FILE]\n"
    "       fotolun --help | --version\n"
    "\n"
    "  --proxy URL        send every request, the browser's included, through URL\n"
    "                     (else http_proxy / HTTP_PROXY)\n"
    "  --ca-file FILE     trust the authorities in FILE (PEM) for https beside the system's, in\n"
    "                     the browser too (else FOTOLUN_CA_FILE)\n"
    "  --save DIR         start with DIR as the save folder\n"
    "  --demo             run the stand-in photo service inside the program: no internet needed\n"
    "  --sample-list      with --demo: sign in as the sample account and list its albums\n"
    "  --screenshot FILE  save the window to FILE once it is up, then quit\n";

struct Arguments {
  bool demo = false;
  bool sampleList = false;
  std::string proxy;
  std::string caFile;
  std::string save;
  std::string screenshot;
};

// Answered before any Qt object exists, so that they work on a machine without a display.
bool answeredWithoutWindow(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return true;
    }
    if (arg == "--version") {
      std::printf("fotolun %s\n", fotolun::MainWindowController::kVersion);
      return true;
    }
  }
  return false;
}

// Qt's own options (one dash or two), which QApplication takes out of argv itself, and whether
// each takes a value. Everything after --webEngineArgs is the browser engine's.
bool isQtOption(std::string_view arg, bool& takesValue) {
  static constexpr std::string_view kWithValue[] = {"platform",
                                                    "platformpluginpath",
                                                    "platformtheme",
                                                    "plugin",
                                                    "qmljsdebugger",
                                                    "qwindowgeometry",
                                                    "qwindowicon",
                                                    "qwindowtitle",
                                                    "session",
                                                    "display",
                                                    "geometry",
                                                    "style",
                                                    "stylesheet",
                                                    "name",
                                                    "title",
                                                    "visual",
                                                    "ncols",
                                                    "cmap",
                                                    "fn",
                                                    "font",
                                                    "bg",
                                                    "background",
                                                    "fg",
                                                    "foreground",
                                                    "btn",
                                                    "button",
                                                    "im",
                                                    "inputstyle"};
  static constexpr std::string_view kAlone[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
  if (arg.size() < 2 || arg[0] != '-') return false;
  arg.remove_prefix(arg.starts_with("--") ? 2 : 1);
  for (std::string_view name : kWithValue)
    if (arg == name) return takesValue = true;
  for (std::string_view name : kAlone)
    if (arg == name) return !(takesValue = false);
  return false;
}

// The whole command line, read before any Qt object exists: a mistake in it is told without a
// display. Qt's own options are passed over, for QApplication to take.
bool parse(int argc, char** argv, Arguments& out) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc && argv[i + 1][0] != '\0';
    bool qtValue = false;
    if (arg == "--webEngineArgs") break;
    if (isQtOption(arg, qtValue)) {
      if (qtValue && !hasValue) {
        std::fprintf(stderr, "fotolun: %s needs a value\n\n%s", argv[i], kUsage);
        return false;
      }
      i += qtValue ? 1 : 0;
    } else if (arg == "--demo") {
      out.demo = true;
    } else if (arg == "--sample-list") {
      out.sampleList = true;
    } else if (arg == "--proxy" && hasValue) {
      out.proxy = argv[++i];
    } else if (arg == "--ca-file" && hasValue) {
      out.caFile = argv[++i];
    } else if (arg == "--save" && hasValue) {
      out.save = argv[++i];
    } else if (arg == "--screenshot" && hasValue) {
      out.screenshot = argv[++i];
    } else if (arg == "--proxy" || arg == "--ca-file" || arg == "--save" || arg == "--screenshot") {
      std::fprintf(stderr, "fotolun: %s needs a value\n\n%s", argv[i], kUsage);
      return false;
    } else {
      std::fprintf(stderr, "fotolun: unknown argument: %s\n\n%s", argv[i], kUsage);
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
  if (answeredWithoutWindow(argc, argv)) return 0;
  Arguments args;
  if (!parse(argc, argv, args)) return 2;

  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  fotolun::gui::installChineseTranslations(app);
  fotolun::gui::applyLook(app);

  fotolun::gui::GuiOptions options;
  options.folders = fotolun::programFolders(QCoreApplication::applicationDirPath().toStdString());
  if (!args.save.empty()) {
    options.folders.saveFolder = fotolun::Utf8ToGbk(
        fotolun::platform::utf8OfPath(std::filesystem::absolute(fotolun::platform::pathFromUtf8(args.save))));
    options.folders.saveFolderGiven = true;
  }
  options.proxy = fotolun::Utf8ToGbk(args.proxy);
  const std::string caFile = !args.caFile.empty()
                                 ? args.caFile
                                 : fotolun::platform::environmentVariable("FOTOLUN_CA_FILE").value_or("");
  // Named but unreadable, it would fail every https page; better said at once.
  if (!caFile.empty() && !std::ifstream(caFile)) {
    std::fprintf(stderr, "fotolun: cannot read the CA file %s\n", caFile.c_str());
    return 2;
  }
  options.caFile = caFile;

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
  if (!args.screenshot.empty())
    saveScreenshotWhenReady(gui, QString::fromStdString(args.screenshot), standin && args.sampleList);

  return app.exec();
}
