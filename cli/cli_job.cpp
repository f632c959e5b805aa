#include "cli/cli_job.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <thread>

#include "albums/album_list.h"
#include "download/download_run.h"
#include "download/feed_download.h"
#include "endpoints/service_hosts.h"
#include "session/session_credentials.h"
#include "text/encoding.h"

namespace fotolun::cli {

CliJob::CliJob(Terminal& terminal, const ProgramFolders& folders, const std::string& proxy,
               const std::string& caFile, const Text& cookieText)
    : terminal_(terminal), form_(terminal), program_(form_, ui_) {
  program_.hosts = serviceHostsFromEnvironment();
  program_.proxy = proxy;
  program_.caFile = caFile;
  program_.folders = folders;
  program_.credentials.set(CredentialsFromCookieText(cookieText));
  controller_.emplace(program_, desktop_);
  ui_.send([&] { controller_->windowCreated(); });
}

CliJob::~CliJob() {
  // The controller joins its workers, whose last calls still need the UI lock: not under it.
  controller_.reset();
}

ListOutcome CliJob::list(const JobSettings& settings, const std::function<bool()>& interrupted) {
  ui_.send([&] {
    form_.setCurrentIndex(Control::组合框1, settings.group ? 1 : settings.feed ? 2 : 0);
    program_.feedNewOnly = settings.feedNew;
    controller_->comboSelectionChanged();
    form_.setText(Control::编辑框_号码, Utf8ToGbk(settings.number));
    form_.setChecked(Control::选择框_封面图, settings.covers);
    if (settings.mode) {
      // As the boxes would be after a click, without rewriting the user's settings file.
      const bool hd = *settings.mode == "hd";
      form_.setChecked(Control::选择框_高清, hd);
      form_.setChecked(Control::选择框_原图, !hd);
    }
    if (settings.saveDir) form_.setText(Control::编辑框_保存位置, Utf8ToGbk(*settings.saveDir));
    program_.skipSavedPhotos = settings.skipSaved;
    if (!settings.keepsFamily) {
      program_.familyAnswered = nullptr;
      program_.rememberedFamily.reset();
    }
    if (settings.family) program_.chooseFamily(*settings.family);
    program_.parallelPhotos = settings.parallel;
    if (settings.patienceMs) program_.patienceMs = *settings.patienceMs;
    if (settings.embedDates) program_.embedDates = true;
    program_.writeGallery = settings.writeGallery;
  });
  AlbumLists& lists = controller_->albumLists();
  std::atomic<bool> pressed{false};
  std::thread press([&] {
    ui_.send([&] { controller_->clicked(Control::按钮_获取相册封面); });
    pressed = true;
  });
  while (!pressed || lists.building()) {
    if (interrupted()) {
      terminal_.log("Stopping: Ctrl-C\n");
      if (!pressed) {
        // The press only starts the list's worker, so this is a moment's window; nothing has
        // been written yet, so ending here loses nothing.
        std::fflush(nullptr);
        std::_Exit(1);
      }
      lists.stop();
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  press.join();
  lists.waitUntilListed();
  if (interrupted()) return ListOutcome::failed;
  return lists.lastOutcome();
}

std::vector<std::vector<std::string>> CliJob::rows() {
  std::vector<std::vector<std::string>> out;
  ui_.send([&] {
    for (int r = 0; r < form_.rowCount(); ++r) {
      std::vector<std::string> row;
      for (int column : {column::序号, column::相册名称, column::图片数量, column::相册ID, column::相册问题})
        row.push_back(GbkToUtf8(form_.cell(r, column)));
      out.push_back(std::move(row));
    }
  });
  return out;
}

std::string CliJob::pick(const AlbumPick& pick) {
  std::string error;
  ui_.send([&] {
    std::set<int> listed;
    for (int r = 0; r < form_.rowCount(); ++r) {
      const int number = std::atoi(form_.cell(r, column::序号).c_str());
      listed.insert(number);
      form_.setRowChecked(r, pick.contains(number));
    }
    for (auto [low, high] : pick.ranges)
      for (int n = low; n <= high && error.empty(); ++n)
        if (listed.count(n) == 0) error = "--albums: there is no album numbered " + std::to_string(n);
  });
  return error;
}

DownloadOutcome CliJob::download(const std::function<bool()>& interrupted) {
  DownloadRun& run = controller_->downloadRun();
  DownloadOutcome outcome;
  ui_.send([&] {
    for (int r = 0; r < form_.rowCount(); ++r) outcome.albums += form_.rowChecked(r) ? 1 : 0;
    controller_->clicked(Control::按钮_下载选中);
  });
  // Woken by the run's end at once, and five times a second for Ctrl-C: a shorter poll costs CPU
  // time in every photo's pause.
  while (run.runningAfter(std::chrono::milliseconds(200))) {
    if (!outcome.stopped && interrupted()) {
      outcome.stopped = true;
      terminal_.log("Stopping: Ctrl-C\n");
      // Answered Ok by the form: the stop question is asked only now.
      ui_.send([&] { controller_->clicked(Control::按钮_结束下载); });
    }
  }
  run.waitForWorker();
  outcome.savedPhotos = run.savedPhotos();
  outcome.failedPhotos = run.failedPhotos();
  outcome.failedAlbums = run.failedAlbums();
  outcome.skippedPhotos = run.skippedPhotos();
  outcome.signedOut = run.signedOut();
  outcome.cutShort = run.cutShort();
  outcome.savedBytes = run.savedBytes();
  return outcome;
}

std::string formatAlbumTable(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::vector<std::string>> table = {{"序号", "相册名称", "图片数量", "相册ID", "相册问题"}};
  table.insert(table.end(), rows.begin(), rows.end());
  // Widths as displayed: a GBK double-byte character takes two columns.
  std::vector<int> widths(5, 0);
  for (const auto& row : table)
    for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c)
      widths[c] = std::max(widths[c], displayWidth(Utf8ToGbk(row[c])));
  std::string out;
  for (const auto& row : table) {
    std::string line;
    for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
      const int pad = widths[c] - displayWidth(Utf8ToGbk(row[c]));
      // Numbers to the right, texts to the left.
      if (c == 0 || c == 2)
        line += std::string(static_cast<std::size_t>(pad), ' ') + row[c];
      else
        line += row[c] + (c + 1 < row.size() ? std::string(static_cast<std::size_t>(pad), ' ') : "");
      if (c + 1 < row.size()) line += "  ";
    }
    out += line + "\n";
  }
  return out;
}

std::string CliJob::feedTable() const {
  const std::shared_ptr<const FeedRead> read = program_.feedRead.get();
  if (!read) return "";
  std::vector<std::vector<std::string>> rows = {{"年份", "说说", "图片", "视频"}};
  FeedYear sum{"合计"};
  for (const FeedYear& year : feedYears(*read)) {
    rows.push_back(
        {year.year, std::to_string(year.posts), std::to_string(year.pictures), std::to_string(year.videos)});
    sum.posts += year.posts;
    sum.pictures += year.pictures;
    sum.videos += year.videos;
  }
  rows.push_back(
      {sum.year, std::to_string(sum.posts), std::to_string(sum.pictures), std::to_string(sum.videos)});
  // The year to the left, the counts to the right, in columns six wide as displayed.
  const auto padding = [](const std::string& text) {
    return std::string(static_cast<std::size_t>(std::max(0, 6 - displayWidth(Utf8ToGbk(text)))), ' ');
  };
  std::string out;
  for (const auto& row : rows) {
    std::string line = row[0] + padding(row[0]);
    for (std::size_t c = 1; c < row.size(); ++c) line += padding(row[c]) + row[c];
    out += line + "\n";
  }
  out += "Posts: " + std::to_string(read->total) + " in the space, " + std::to_string(read->posts.size()) +
         " read, " + std::to_string(read->hidden()) + " not visible to this session" +
         (read->stoppedAtSaved ? "; older posts were saved by an earlier run and not read again" : "") +
         ".\n";
  return out;
}

Text CliJob::sessionCookies() const { return wholeSessionCookies(program_.credentials.get()); }

}  // namespace fotolun::cli
