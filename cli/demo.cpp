#include "cli/demo.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>

#include "cli/cli_job.h"
#include "net/http_clients.h"
#include "program/service_hosts.h"
#include "standin/standin.h"

namespace fotolun::cli {

namespace {

// The sample albums hold a few large ones (500, 501, 1000 photos) for the tests' edge cases; the
// demo takes the small ones so it ends in seconds with the program's own pauses.
constexpr int kDemoAlbumLimit = 50;

std::string signInAsBrowser(const std::string& proxy, const std::string& caFile, const std::string& qq) {
  const ServiceHosts hosts = serviceHostsFromEnvironment();
  Text cookies;
  FetchUrl("http://" + hosts.personalSpace + "/?login=" + qq, 0, "", &cookies, nullptr, nullptr, nullptr,
           false, nullptr, proxy, caFile);
  return cookies;
}

// The demo trusts its stand-in's authority as a user does with --ca-file: through a file, here
// one of its own that goes when the demo ends.
struct AuthorityFile {
  AuthorityFile()
      : path((std::filesystem::temp_directory_path() /
              ("fotolun-demo-authority-" + std::to_string(getpid()) + ".pem"))
                 .string()) {
    standin::Standin::writeCertificateAuthority(path);
  }
  ~AuthorityFile() {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
  AuthorityFile(const AuthorityFile&) = delete;
  AuthorityFile& operator=(const AuthorityFile&) = delete;

  std::string path;
};

}  // namespace

int runDemo(Terminal& terminal, const ProgramFolders& folders, const std::string& saveDir,
            const std::function<bool()>& interrupted) {
  const auto started = std::chrono::steady_clock::now();
  standin::Standin standin;
  standin.start();
  const std::string proxy = standin.proxyUrl();
  std::optional<AuthorityFile> authority;
  try {
    authority.emplace();
  } catch (const std::exception& error) {
    terminal.error(std::string("the stand-in's authority cannot be written: ") + error.what());
    return 1;
  }
  const std::string qq = standin.data().ordinaryAccount().qq;
  const std::string group = standin.data().smallGroup().number;
  terminal.log("Stand-in service on " + proxy + "; signing in as " + qq + "\n");
  const std::string cookies = signInAsBrowser(proxy, authority->path, qq);
  if (cookies.empty()) {
    terminal.error("the stand-in service's sign-in page set no cookie");
    return 3;
  }

  struct Pass {
    const char* folder;
    JobSettings settings;
  };
  const Pass passes[] = {
      {"hd", JobSettings{qq, false, true, std::string("hd"), std::nullopt, true, FamilyChoice::automatic}},
      {"original",
       JobSettings{qq, false, false, std::string("original"), std::nullopt, true, FamilyChoice::automatic}},
      {"group", JobSettings{group, true, false, std::nullopt, std::nullopt, true, FamilyChoice::automatic}},
  };
  DownloadOutcome total;
  for (const Pass& pass : passes) {
    if (total.stopped || interrupted()) {
      total.stopped = true;
      break;
    }
    JobSettings settings = pass.settings;
    settings.saveDir = (std::filesystem::path(saveDir) / pass.folder).string();
    CliJob job(terminal, folders, proxy, authority->path, cookies);
    if (job.list(settings) != ListOutcome::listed) {
      terminal.error(std::string("the stand-in listed no albums for the ") + pass.folder + " pass");
      return 3;
    }
    AlbumPick small;
    for (const auto& row : job.rows()) {
      const int number = std::atoi(row[0].c_str());
      const int count = std::atoi(row[2].c_str());
      if (count > 0 && count <= kDemoAlbumLimit) small.ranges.emplace_back(number, number);
    }
    job.pick(small);
    DownloadOutcome outcome = job.download(interrupted);
    total.stopped = outcome.stopped;
    total.albums += outcome.albums;
    total.savedPhotos += outcome.savedPhotos;
    total.failedPhotos += outcome.failedPhotos;
    total.skippedPhotos += outcome.skippedPhotos;
    total.savedBytes += outcome.savedBytes;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  char summary[256];
  std::snprintf(summary, sizeof summary,
                "Demo %s in %s: albums %d, photos %d, skipped %d, bytes %lld, failed %d, seconds %.1f\n",
                total.stopped ? "stopped" : "finished", saveDir.c_str(), total.albums, total.savedPhotos,
                total.skippedPhotos, total.savedBytes, total.failedPhotos, seconds);
  terminal.result(summary);
  if (!total.stopped && total.savedPhotos == 0 && total.skippedPhotos > 0 && total.failedPhotos == 0)
    terminal.result("Nothing new: every photo was already saved in " + saveDir + " by an earlier run.\n");
  return total.failedPhotos > 0 || total.stopped ? 1 : 0;
}

}  // namespace fotolun::cli
