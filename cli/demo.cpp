#include "cli/demo.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_job.h"
#include "endpoints/service_hosts.h"
#include "net/http_clients.h"
#include "platform/path.h"
#include "platform/process.h"
#include "standin/standin.h"
#include "story/gallery.h"

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
      : path(platform::utf8OfPath(std::filesystem::temp_directory_path() /
                                  platform::pathFromUtf8("fotolun-demo-authority-" +
                                                         std::to_string(platform::processId()) + ".pem"))) {
    standin::Standin::writeCertificateAuthority(path);
  }
  ~AuthorityFile() {
    std::error_code ignored;
    std::filesystem::remove(platform::systemPath(path), ignored);
  }
  AuthorityFile(const AuthorityFile&) = delete;
  AuthorityFile& operator=(const AuthorityFile&) = delete;

  std::string path;
};

}  // namespace

namespace {

struct Pass {
  const char* folder;
  JobSettings settings;
  bool smallAlbumsOnly = true;
  bool lastAlbumOnly = false;  // the last row listed alone (the oldest year of posts)
};

void addUp(DownloadOutcome& total, const DownloadOutcome& one) {
  total.stopped = one.stopped;
  total.albums += one.albums;
  total.savedPhotos += one.savedPhotos;
  total.failedPhotos += one.failedPhotos;
  total.skippedPhotos += one.skippedPhotos;
  total.savedBytes += one.savedBytes;
}

struct PassTotals {
  DownloadOutcome outcome;
  std::string families;  // the endpoint family that served each pass, as the demo reports it
};

// Runs the passes against one stand-in, each in a folder of its own below saveDir.
std::optional<PassTotals> runPasses(Terminal& terminal, const ProgramFolders& folders,
                                    const std::string& proxy, const std::string& caFile,
                                    const std::string& cookies, const std::vector<Pass>& passes,
                                    const std::string& saveDir, const std::function<bool()>& interrupted,
                                    DemoChoices choices) {
  PassTotals totals;
  DownloadOutcome& total = totals.outcome;
  for (const Pass& pass : passes) {
    if (total.stopped || interrupted()) {
      total.stopped = true;
      break;
    }
    JobSettings settings = pass.settings;
    settings.keepsFamily = false;
    settings.embedDates = choices.embedDates;
    settings.writeGallery = choices.writeGallery;
    settings.saveDir = platform::utf8OfPath(platform::pathFromUtf8(saveDir) / pass.folder);
    CliJob job(terminal, folders, proxy, caFile, cookies);
    if (job.list(settings) != ListOutcome::listed) {
      terminal.error(std::string("the stand-in listed no albums for the ") + pass.folder + " pass");
      return std::nullopt;
    }
    AlbumPick small;
    for (const auto& row : job.rows()) {
      const int number = std::atoi(row[0].c_str());
      const int count = std::atoi(row[2].c_str());
      if (count > 0 && (!pass.smallAlbumsOnly || count <= kDemoAlbumLimit))
        small.ranges.emplace_back(number, number);
    }
    if (pass.lastAlbumOnly && !small.ranges.empty())
      small.ranges.erase(small.ranges.begin(), small.ranges.end() - 1);
    job.pick(small);
    addUp(total, job.download(interrupted));
    // The posts have the https endpoints alone.
    totals.families += std::string(totals.families.empty() ? "" : ", ") + pass.folder + " by " +
                       std::string(familyName(settings.feed ? ServiceFamily::current : job.family()));
  }
  return totals;
}

std::vector<Pass> samplePasses(const standin::SampleData& data) {
  const std::string qq = data.ordinaryAccount().qq;
  return {
      {"hd", JobSettings{qq, false, true, std::string("hd"), std::nullopt, true, FamilyChoice::automatic}},
      {"original",
       JobSettings{qq, false, false, std::string("original"), std::nullopt, true, FamilyChoice::automatic}},
      {"group", JobSettings{data.smallGroup().number, true, false, std::nullopt, std::nullopt, true,
                            FamilyChoice::automatic}},
  };
}

}  // namespace

int runDemo(Terminal& terminal, const ProgramFolders& folders, const std::string& saveDir,
            const std::function<bool()>& interrupted, DemoChoices choices) {
  const auto started = std::chrono::steady_clock::now();
  std::optional<AuthorityFile> authority;
  try {
    authority.emplace();
  } catch (const std::exception& error) {
    terminal.error(std::string("the stand-in's authority cannot be written: ") + error.what());
    return 1;
  }

  // First a service that still answers on its older endpoints, then one that answers only on the
  // https ones (where videos come as videos): --api auto finds its way to each.
  struct World {
    const char* folder;
    const char* description;
    bool classic;
  };
  const World worlds[] = {{"classic", "both endpoint families", true},
                          {"current", "the https endpoint family only", false}};
  DownloadOutcome total;
  int streamingOnly = 0;  // videos the stand-in offers only as a playlist: reported, not saved
  std::string served;
  for (const World& world : worlds) {
    if (total.stopped) break;
    standin::StandinOptions options;
    options.classicFamily = world.classic;
    standin::Standin standin(options);
    standin.start();
    const std::string proxy = standin.proxyUrl();
    const standin::SampleData& data = standin.data();
    const std::string qq = data.ordinaryAccount().qq;
    terminal.log("Stand-in service with " + std::string(world.description) + " on " + proxy +
                 "; signing in as " + qq + "\n");
    const std::string cookies = signInAsBrowser(proxy, authority->path, qq);
    if (cookies.empty()) {
      terminal.error("the stand-in service's sign-in page set no cookie");
      return 3;
    }
    std::vector<Pass> passes = samplePasses(data);
    if (!world.classic) {
      passes.push_back({"videos",
                        JobSettings{data.videoAccount().qq, false, false, std::string("hd"), std::nullopt,
                                    true, FamilyChoice::automatic},
                        false});
      passes.push_back({"group-videos",
                        JobSettings{data.videoGroup().number, true, false, std::nullopt, std::nullopt, true,
                                    FamilyChoice::automatic},
                        false});
      // The pictures and videos a space posted outside its albums, a folder for each year.
      JobSettings posts{data.feedAccount().qq,  false, false, std::nullopt, std::nullopt, true,
                        FamilyChoice::automatic};
      posts.feed = true;
      passes.push_back({"posts", posts, false, true});
      for (const auto& album : data.videoAccount().albums)
        for (const auto& photo : album.photos)
          streamingOnly += photo.video && photo.video->isPlaylist() ? 1 : 0;
    }
    const std::optional<PassTotals> totals =
        runPasses(terminal, folders, proxy, authority->path, cookies, passes,
                  platform::utf8OfPath(platform::pathFromUtf8(saveDir) / world.folder), interrupted, choices);
    if (!totals) return 3;
    // Today's photo hosts want the key the photo lists hand out; without it every photo is the
    // service's placeholder picture.
    if (const int refused = standin.photoKeys().refused(); refused > 0) {
      terminal.error(std::to_string(refused) +
                     " photo request(s) went without the photo key the stand-in's lists handed out");
      return 1;
    }
    terminal.result("Stand-in with " + std::string(world.description) + ": served " + totals->families +
                    "\n");
    addUp(total, totals->outcome);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  char summary[256];
  std::snprintf(summary, sizeof summary,
                "Demo %s in %s: albums %d, photos %d, skipped %d, bytes %lld, failed %d, seconds %.1f\n",
                total.stopped ? "stopped" : "finished", saveDir.c_str(), total.albums, total.savedPhotos,
                total.skippedPhotos, total.savedBytes, total.failedPhotos, seconds);
  terminal.result(summary);
  if (streamingOnly > 0 && !total.stopped)
    terminal.result(
        "Of the failed, " + std::to_string(streamingOnly) +
        " video(s) stream only as a playlist (m3u8) and have no file to save: the log names them.\n");
  // One page over every pass's number folder, so the demo's albums open from one place.
  if (choices.writeGallery && !total.stopped) {
    if (const auto top = writeFolderIndex(platform::pathFromUtf8(saveDir)))
      terminal.result("Offline album: " + platform::utf8OfPath(*top) + "\n");
  }
  if (!total.stopped && total.savedPhotos == 0 && total.skippedPhotos > 0 &&
      total.failedPhotos <= streamingOnly)
    terminal.result("Nothing new: every photo was already saved in " + saveDir + " by an earlier run.\n");
  return total.failedPhotos > streamingOnly || total.stopped ? 1 : 0;
}

}  // namespace fotolun::cli
