// Photos fetched several at once: the same files, names, log and progress as one at a time.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <set>
#include <thread>

#include "download/download_archive.h"
#include "download_fixture.h"
#include "text/encoding.h"

namespace fotolun::testing {
namespace {

using namespace std::chrono_literals;

// What a run leaves that the user can see: every form change in order (the log, the progress,
// the labels, the closing box) and the files, their random name part taken out.
struct Seen {
  std::vector<std::string> changes;
  std::map<std::string, std::string> files;
};

enum class Albums { hdInTwoPages, travel, fullSize, group };
enum class Faults { none, failingAndSlow, busyOnce };

struct Case {
  const char* what;
  Albums albums;
  Faults faults;
  std::vector<int> streams = {4, 8};  // compared with 1
};

class ParallelPhotos : public DownloadFixture, public ::testing::WithParamInterface<Case> {
 protected:
  Seen runWith(int streams) {
    const std::filesystem::path into = saveFolder / ("streams" + std::to_string(streams));
    std::filesystem::create_directories(into);
    ui.send([&] { form.setText(Control::编辑框_保存位置, gbk(into.string())); });
    program.parallelPhotos = streams;
    standin.server().clearFaults();
    addFaults(GetParam().faults);
    const std::size_t before = form.changes().size();
    runToEnd();
    Seen seen;
    const std::vector<std::string> changes = form.changes();
    seen.changes.assign(changes.begin() + static_cast<std::ptrdiff_t>(before), changes.end());
    static const std::regex randomPart("_[0-9]+(\\.[a-z0-9]+)$");
    static const std::regex recordedName("_[0-9]+(\\.[a-z0-9]+)\n");
    static const std::regex quotedName("_[0-9]+(\\.[a-z0-9]+)\"");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(into)) {
      if (!entry.is_regular_file()) continue;
      const std::string name = std::filesystem::relative(entry.path(), into).string();
      std::ifstream in(entry.path(), std::ios::binary);
      std::string bytes(std::istreambuf_iterator<char>(in), {});
      // The folder's record names the files, random parts and all.
      if (name.ends_with(kArchiveFileName)) bytes = std::regex_replace(bytes, recordedName, "_R$1\n");
      // So do the album's record and pages, in quotes.
      if (name.ends_with(".json") || name.ends_with(".html"))
        bytes = std::regex_replace(bytes, quotedName, "_R$1\"");
      seen.files[std::regex_replace(name, randomPart, "_R$1")] = std::move(bytes);
    }
    // The busy wait's length is drawn with jitter: its line is compared without it.
    static const std::regex busyWait("繁忙，[0-9]+秒");
    for (std::string& change : seen.changes) change = std::regex_replace(change, busyWait, "繁忙，N秒");
    return seen;
  }

  const standin::PersonalAlbum& personalAlbum(const std::string& name) {
    for (const auto& album : standin.data().ordinaryAccount().albums)
      if (album.name == name) return album;
    throw std::runtime_error("no sample album " + name);
  }

  void choose(Albums albums) {
    const standin::PersonalAccount& account = standin.data().ordinaryAccount();
    switch (albums) {
      case Albums::hdInTwoPages:
        choosePersonal(account, true);
        addPersonalRow(personalAlbum("五百零一张"), 1);
        break;
      case Albums::travel:
        choosePersonal(account, true);
        addPersonalRow(personalAlbum("旅行2019"), 1);
        break;
      case Albums::fullSize:  // the ninth photo falls back to its ordinary address
        choosePersonal(account, false);
        addPersonalRow(personalAlbum("旅行2019"), 1);
        break;
      case Albums::group:
        chooseGroup(standin.data().smallGroup());
        addGroupRow(standin.data().smallGroup().albums.front(), 1);
        break;
    }
  }

  // On photos of 旅行2019, so that later photos end before earlier ones.
  void addFaults(Faults faults) {
    standin::HttpServer& server = standin.server();
    std::vector<std::string> photos;
    for (const auto& photo : personalAlbum("旅行2019").photos)
      photos.push_back(photo.url.substr(photo.url.find("/psb")));
    const auto reply = [](standin::Response response, int times) {
      standin::Fault fault{standin::FaultKind::Reply, times};
      fault.reply = std::move(response);
      return fault;
    };
    if (faults == Faults::failingAndSlow) {
      server.addFault(photos[1], standin::Fault{standin::FaultKind::HttpError, -1, 0ms, 404});
      server.addFault(photos[2], reply({200, {{"Content-Type", "text/html"}}, "<html>gone</html>"}, -1));
      server.addFault(photos[4], standin::Fault{standin::FaultKind::DropMidBody, 1});
      server.addFault(photos[5], standin::Fault{standin::FaultKind::EmptyReply, 2});
      server.addFault(photos[6], standin::Fault{standin::FaultKind::Delay, -1, 80ms});
      server.addFault("/psb", standin::Fault{standin::FaultKind::Delay, -1, 5ms});
    } else if (faults == Faults::busyOnce) {
      server.addFault(photos[4], reply({503, {{"Retry-After", "1"}}, ""}, 1));
      server.addFault("/psb", standin::Fault{standin::FaultKind::Delay, -1, 5ms});
    }
  }
};

TEST_P(ParallelPhotos, SaveWhatOneAtATimeSaves) {
  choose(GetParam().albums);
  const Seen one = runWith(1);
  ASSERT_FALSE(one.files.empty());
  for (int streams : GetParam().streams) {
    const Seen many = runWith(streams);
    EXPECT_EQ(many.changes, one.changes) << streams << " streams";
    EXPECT_EQ(many.files.size(), one.files.size()) << streams << " streams";
    for (const auto& [name, bytes] : one.files) {
      const auto found = many.files.find(name);
      EXPECT_TRUE(found != many.files.end() && found->second == bytes) << streams << " streams: " << name;
    }
  }
}

const Case kCases[] = {
    {"TwoPagesOfHdPhotos", Albums::hdInTwoPages, Faults::none, {4}},
    {"FullSize", Albums::fullSize, Faults::none},
    {"Group", Albums::group, Faults::none},
    {"PhotosThatFailSlowOrCutOff", Albums::travel, Faults::failingAndSlow},
    {"ABusyHostDropsToOneStream", Albums::travel, Faults::busyOnce},
};

INSTANTIATE_TEST_SUITE_P(Albums, ParallelPhotos, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.what; });

class RunOfStreams : public DownloadFixture {
 protected:
  RunOfStreams() { program.parallelPhotos = kStreams; }
  static constexpr int kStreams = 4;
};

// The streams keep their connections for the whole run: an album does not open new ones.
TEST_F(RunOfStreams, AlbumsShareTheRunsConnections) {
  const standin::PersonalAccount& account = standin.data().ordinaryAccount();
  choosePersonal(account, true);
  int number = 0;
  for (const auto& album : account.albums)
    if (album.name == "旅行2019" || album.name == "心情日记" || album.name == "v1.0 final.")
      addPersonalRow(album, ++number);
  ASSERT_EQ(number, 3);
  runToEnd();
  EXPECT_EQ(run->failedPhotos(), 0);
  std::set<std::size_t> carriers;  // the connections that carried photos, whichever host
  for (const standin::Request& request : requestsTo("/psb")) carriers.insert(request.connection);
  EXPECT_GE(carriers.size(), 2u);
  EXPECT_LE(carriers.size(), static_cast<std::size_t>(kStreams)) << "one per stream, for the whole run";
}

// A stop that comes while every stream waits out its pause between two photos starts nothing more.
TEST_F(RunOfStreams, AStopBetweenTransfersStartsNoNewRequest) {
  program.delayScale = 5;  // half a second after each photo: the stop lands in it
  const standin::PersonalAccount& account = standin.data().ordinaryAccount();
  choosePersonal(account, true);
  for (const auto& album : account.albums)
    if (album.name == "旅行2019") addPersonalRow(album, 1);
  start();
  while (requestsTo("/psb").size() < kStreams) std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(50ms);  // the first photos are in, the pauses begin
  const auto stopped = std::chrono::system_clock::now();
  form.queueAnswer(MessageAnswer::Ok);
  ui.send([&] { run->stopDownload(); });
  run->waitForWorker();
  for (const standin::Request& request : standin.server().requests())
    EXPECT_LT(request.time, stopped) << request.url << " asked after the stop";
  EXPECT_EQ(requestsTo("/psb").size(), static_cast<std::size_t>(kStreams));
}

}  // namespace
}  // namespace fotolun::testing
