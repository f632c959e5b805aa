// fotolun-cli: the album downloader without a window, for servers, scripts and schedules.
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli_job.h"
#include "cli/cli_options.h"
#include "cli/demo.h"
#include "cli/login.h"
#include "net/request_object.h"
#include "platform/console.h"
#include "platform/path.h"
#include "platform/process.h"
#include "session/cookie_file.h"
#include "session/firefox_cookies.h"
#include "story/gallery.h"

namespace {

// A stop handler can reach nothing but a flag, which the main thread polls. A lock-free atomic
// rather than a volatile one: the signal (or Windows' console thread) may be any thread.
std::atomic<int> interruptCount{0};
static_assert(std::atomic<int>::is_always_lock_free);

void onInterrupt() { interruptCount.fetch_add(1); }

fotolun::ProgramFolders programFolders() {
  const std::optional<std::filesystem::path> exe = fotolun::platform::programFile();
  return fotolun::programFolders(
      fotolun::platform::utf8OfPath(exe ? exe->parent_path() : std::filesystem::current_path()));
}

// Made absolute as the system would, spelt in UTF-8.
std::string absoluteFolder(const std::string& folder) {
  return fotolun::platform::utf8OfPath(std::filesystem::absolute(fotolun::platform::pathFromUtf8(folder)));
}

bool readFile(const std::string& path, std::string* content) {
  std::ifstream in(fotolun::platform::systemPath(path), std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  *content = all.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace fotolun;
  using namespace fotolun::cli;

  const platform::Utf8Console console;
  const ThreadConnectionsClosedAtEnd connectionsClosed;
  const ParseResult parsed = parseOptions(platform::commandLineArguments(argc, argv));
  const Options& options = parsed.options;
  const Verbosity verbosity =
      options.quiet ? Verbosity::Quiet : (options.verbose ? Verbosity::Verbose : Verbosity::Normal);
  Terminal terminal(stdout, stderr, platform::isTerminal(stdout), verbosity);
  if (!parsed.error.empty()) {
    terminal.error(parsed.error + "\n\n" + usageText());
    return 2;
  }
  if (options.command == Command::Help) {
    terminal.result(usageText());
    return 0;
  }
  if (options.command == Command::Version) {
    terminal.result(std::string("fotolun-cli ") + MainWindowController::kVersion + "\n");
    return 0;
  }

  platform::whenStopAsked(onInterrupt);
  const auto interrupted = [] { return interruptCount > 0; };

  // Named but unreadable, it would fail every https request; better said at once.
  const std::string caFile = !options.caFile.empty()
                                 ? options.caFile
                                 : platform::environmentVariable("FOTOLUN_CA_FILE").value_or("");
  if (std::string ignored; !caFile.empty() && !readFile(caFile, &ignored)) {
    terminal.error("cannot read the CA file " + caFile +
                   (options.caFile.empty() ? " (from FOTOLUN_CA_FILE)" : ""));
    return 2;
  }

  if (options.command == Command::Gallery) {
    std::error_code error;
    if (!std::filesystem::is_directory(platform::systemPath(options.galleryFolder), error)) {
      terminal.error("no such folder: " + options.galleryFolder + "\n");
      return 2;
    }
    const std::vector<std::filesystem::path> pages =
        rebuildGalleries(platform::pathFromUtf8(options.galleryFolder));
    if (pages.empty()) {
      terminal.error("no album.json in " + options.galleryFolder + " or its folders: nothing to show\n");
      return 1;
    }
    for (const auto& page : pages) terminal.result("Offline album: " + platform::utf8OfPath(page) + "\n");
    return 0;
  }

  if (options.command == Command::Demo) {
    const std::string save = absoluteFolder(options.save.value_or("fotolun-demo"));
    return runDemo(terminal, programFolders(), save, interrupted, {options.embedDates, !options.noGallery});
  }

  const std::string cookieFile = !options.cookies.empty() ? options.cookies : userCookieFile();
  if (options.command == Command::Login) {
    LoginSettings login{cookieFile, options.proxy, caFile};
    // Tests poll fast; the service is asked every 2.5 s otherwise.
    if (const char* poll = std::getenv("FOTOLUN_QR_POLL_MS"); poll != nullptr && std::atoi(poll) > 0)
      login.pollInterval = std::chrono::milliseconds(std::atoi(poll));
    return runLogin(terminal, login, interrupted);
  }

  std::string content;
  if (options.firefoxProfile) {
    const FirefoxProfileResult profile = findFirefoxProfile(firefoxHome(), *options.firefoxProfile);
    const FirefoxCookiesResult fromFirefox =
        profile.error.empty() ? readFirefoxCookies(profile.folder) : FirefoxCookiesResult{"", profile.error};
    if (!fromFirefox.error.empty()) {
      terminal.error(fromFirefox.error + "\n");
      return 2;
    }
    content = fromFirefox.cookiesTxt;
  } else if (!readFile(cookieFile, &content)) {
    terminal.error(
        "cannot read the cookie file " + cookieFile +
        (options.cookies.empty() ? " (sign in first with fotolun-cli login, or pass --cookies)" : ""));
    return 2;
  }
  const CookieFileResult cookies = readCookieFileText(content);
  if (!cookies.error.empty()) {
    terminal.error((options.firefoxProfile ? std::string("Firefox") : cookieFile) + ": " + cookies.error);
    return 2;
  }

  JobSettings settings{options.number, options.group,   options.covers, options.mode,
                       std::nullopt,   !options.noSkip, std::nullopt};
  settings.feed = options.feed;
  settings.feedNew = options.feedNew;
  settings.parallel = options.parallel;
  settings.patienceMs = options.patienceMs;
  settings.embedDates = options.embedDates;
  settings.writeGallery = !options.noGallery;
  if (options.save) settings.saveDir = absoluteFolder(*options.save);
  if (options.api) settings.family = familyChoiceNamed(*options.api);
  CliJob job(terminal, programFolders(), options.proxy, caFile, cookies.cookieText);
  const int exitCode = [&] {
    switch (job.list(settings, interrupted)) {
      case ListOutcome::notSignedIn:
        terminal.error(
            "not signed in: the service answered 请先登录. Sign in again with fotolun-cli login, or in a "
            "browser: export its cookies again (cookies.txt or the document.cookie line) and pass the fresh "
            "file with --cookies.");
        return 3;
      case ListOutcome::noPermission:
        terminal.error(options.feed
                           ? "no permission: the posts of " + options.number +
                                 " are closed to this session (the box above has the service's words)."
                           : "no permission: the service answered 您没有访问该QQ相册的权限 for " +
                                 options.number + ".");
        return 3;
      case ListOutcome::noAlbums:
        terminal.result(options.feed ? job.feedTable() + "No posts with pictures or videos to fetch.\n"
                                     : "No albums.\n");
        return 0;
      case ListOutcome::failed:
        terminal.error(interruptCount > 0
                           ? "Stopped: Ctrl-C while listing.\n"
                           : std::string(options.feed ? "the list of posts" : "the album list") +
                                 " got no usable answer (the log above says why).\n");
        return 1;
      case ListOutcome::listed:
        break;
    }
    // The posts have one family of endpoints.
    if (!options.feed) terminal.log("Endpoints: " + std::string(familyName(job.family())) + "\n");
    if (options.command == Command::Albums) {
      terminal.result(options.feed ? job.feedTable() : formatAlbumTable(job.rows()));
      return 0;
    }
    if (options.albums) {
      std::string error;
      const std::string problem = job.pick(*parseAlbumPick(*options.albums, &error));
      if (!problem.empty()) {
        terminal.error(problem);
        return 2;
      }
    }
    const auto started = std::chrono::steady_clock::now();
    const DownloadOutcome outcome = job.download(interrupted);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char summary[240];
    std::snprintf(
        summary, sizeof summary,
        "%s: albums %d, photos %d, skipped %d, bytes %lld, failed %d, failed albums %d, seconds %.1f\n",
        outcome.stopped ? "Stopped" : "Done", outcome.albums, outcome.savedPhotos, outcome.skippedPhotos,
        outcome.savedBytes, outcome.failedPhotos, outcome.failedAlbums, seconds);
    terminal.result(summary);
    if (const std::string page = job.galleryPage(); !page.empty())
      terminal.result("Offline album: " + page + "\n");
    if (outcome.signedOut) {
      terminal.error(
          "not signed in: the service ended the session during the run; the albums not downloaded are named "
          "above. Sign in again, export fresh cookies and run the same command again.\n");
      return 3;
    }
    if (outcome.cutShort == DownloadTally::CutShort::photoAccess) {
      terminal.error(
          "the service served its placeholder picture for photo after photo, even from fresh lists: the "
          "session's access to photos looks broken. Sign in again and run the same command again.\n");
      return 3;
    }
    if (outcome.cutShort == DownloadTally::CutShort::serviceWall)
      terminal.error(
          "the service stayed busy past the patience (--patience); nothing half-saved. Run the same "
          "command again later: it goes on where this run stopped.\n");
    return outcome.failedPhotos > 0 || outcome.failedAlbums > 0 || outcome.stopped ? 1 : 0;
  }();
  // A cookies.txt gets the cookies the service renewed during the run, so the next run starts with
  // the fresh session; a document-cookie line is the user's own text and stays as it is.
  if (const Text renewed = job.sessionCookies();
      !options.firefoxProfile && renewed != cookies.cookieText && isCookiesTxt(content)) {
    std::string current, error;
    if (!readFile(cookieFile, &current) || !isCookiesTxt(current) ||
        !writeCookieFile(cookieFile, cookiesTxtWith(current, renewed), &error))
      terminal.error("the renewed session could not be written back to " + cookieFile +
                     (error.empty() ? "" : ": " + error) + "\n");
  }
  return exitCode;
}
