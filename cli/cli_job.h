#pragma once
// One listing, and optionally one download, run through the main window's own handlers on a
// headless form — exactly what the window would do with the same boxes filled in.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "albums/list_outcome.h"
#include "app/main_window_controller.h"
#include "cli/cli_form.h"
#include "cli/cli_options.h"
#include "download/download_tally.h"
#include "form/locked_ui_thread.h"
#include "text/encoding.h"

namespace fotolun::cli {

struct JobSettings {
  std::string number;
  bool group = false;
  bool covers = false;
  std::optional<std::string> mode;     // "hd" or "original"; none: the settings file decides
  std::optional<std::string> saveDir;  // UTF-8; none: the default save folder
  bool skipSaved = true;               // photos an earlier run saved are not fetched again
  std::optional<FamilyChoice> family;  // none: the settings file decides
  int parallel = 1;                    // photos of an album fetched at once
  std::optional<int> patienceMs{};     // none: the settings file's
  // The family that answers under auto is kept in the settings file for the next run (not by the
  // demo, whose stand-ins are no guide to the real service).
  bool keepsFamily = true;
  bool embedDates = false;  // true: on whatever the settings file says
  bool writeGallery = true;
  bool feed = false;     // the space's posts, a row for each year
  bool feedNew = false;  // only the posts newer than those an earlier run saved
};

struct DownloadOutcome {
  int albums = 0;
  int savedPhotos = 0;
  int failedPhotos = 0;
  int skippedPhotos = 0;
  int failedAlbums = 0;
  long long savedBytes = 0;
  bool stopped = false;
  bool signedOut = false;  // the service ended the session during the run
  DownloadTally::CutShort cutShort = DownloadTally::CutShort::no;
};

class CliJob {
 public:
  // cookieText: GBK; caFile as Program::caFile.
  CliJob(Terminal& terminal, const ProgramFolders& folders, const std::string& proxy,
         const std::string& caFile, const Text& cookieText);
  ~CliJob();

  // Lists the albums; interrupted() turning true stops the list (a personal list's worker is
  // stopped; a group list, which runs on the UI thread, ends the process: nothing is on disk yet).
  ListOutcome list(
      const JobSettings& settings, const std::function<bool()>& interrupted = [] { return false; });
  // The listed albums as the window's list holds them: 序号, name, count, id, question (UTF-8).
  std::vector<std::vector<std::string>> rows();
  // Leaves checked only the rows whose 序号 the pick names; "" or the error naming what is missing.
  std::string pick(const AlbumPick& pick);
  // Downloads the checked albums; interrupted() turning true stops the run as the stop button does.
  DownloadOutcome download(const std::function<bool()>& interrupted);
  // The session's cookies as they stand now, with what the service renewed during the run (GBK).
  Text sessionCookies() const;
  // The endpoint family in use after the list: the automatic choice may have moved on.
  ServiceFamily family() const { return program_.family; }
  // What the list of posts read, by year, as `albums --feed` prints it (UTF-8); "" before one.
  std::string feedTable() const;
  // The offline album's top page the run wrote (UTF-8), "" none.
  std::string galleryPage() const { return GbkToUtf8(program_.galleryPage.get()); }

 private:
  class NoDesktop : public Desktop {
   public:
    bool openFolder(const Text&) override { return false; }
    void openUrl(const Text&) override {}
    Text chooseFolder(const Text&, const Text&) override { return ""; }
    void openSearchWindow() override {}
  };

  Terminal& terminal_;
  LockedUiThread ui_;
  CliForm form_;
  Program program_;
  NoDesktop desktop_;
  std::optional<MainWindowController> controller_;
};

// The albums table as printed by `fotolun-cli albums`.
std::string formatAlbumTable(const std::vector<std::vector<std::string>>& rows);

}  // namespace fotolun::cli
