// Running the same download again: what is saved is not fetched again, what is missing is, an album
// that grew keeps its folder, and every photo carries the time it was taken.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <random>
#include <thread>

#include "download_fixture.h"
#include "story/photo_time.h"
#include "text/encoding.h"

namespace fotolun::testing {
namespace {

using namespace std::chrono_literals;

class Rerun : public DownloadFixture {
 protected:
  const standin::PersonalAccount& account = standin.data().ordinaryAccount();
  const standin::PersonalAlbum& travel() {
    for (const auto& album : account.albums)
      if (album.name == "旅行2019") return album;
    throw std::runtime_error("no sample album");
  }
  // A fresh run over the same list, as a second press of the button.
  void runAgain() {
    standin.server().clearRequests();
    form.clearChanges();
    run = std::make_unique<DownloadRun>(program);
    runToEnd();
  }
  std::size_t photoRequests() { return requestsTo("/psb").size(); }
};

TEST_F(Rerun, SavedPhotosAreSkippedDeletedOnesFetchedAndAllKeepTheirDates) {
  choosePersonal(account, true);
  addPersonalRow(travel(), 1);
  runToEnd();
  const auto saved = filesIn(folder(account.qq, "旅行201912"));
  ASSERT_EQ(saved.size(), 12u);

  // Each file is dated when its photo was shot, else uploaded (China time), whatever the zone here.
  std::map<std::string, std::time_t> expectedTimes;
  for (const auto& photo : travel().photos) {
    const auto time = photoTime(photo.shootTimeJson, "\"" + photo.uploadTime + "\"");
    ASSERT_TRUE(time.has_value()) << photo.title;
    expectedTimes[standin.photoBytes(photo.url)] = *time;
  }
  for (const auto& [name, bytes] : saved) {
    struct stat info {};
    ASSERT_EQ(stat((folder(account.qq, "旅行201912") / name).c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, expectedTimes[bytes]) << name;
  }

  runAgain();
  EXPECT_EQ(photoRequests(), 0u);
  EXPECT_EQ(filesIn(folder(account.qq, "旅行201912")), saved);
  EXPECT_NE(form.log().find("相册《旅行2019》跳过12张已下载的图片\r\n"), std::string::npos) << form.log();
  EXPECT_EQ(form.boxes().back().text, "全部下载完毕");

  std::filesystem::remove(folder(account.qq, "旅行201912") / saved.begin()->first);
  runAgain();
  EXPECT_EQ(photoRequests(), 1u);
  expectPhotos(folder(account.qq, "旅行201912"), personalPhotos(standin, travel(), false));

  // Fetching everything again makes new files and never overwrites one.
  program.skipSavedPhotos = false;
  runAgain();
  EXPECT_EQ(photoRequests(), 12u);
  EXPECT_EQ(filesIn(folder(account.qq, "旅行201912")).size(), 24u);
}

TEST_F(Rerun, AGrownAlbumContinuesInItsFolderAndTheOtherSizeIsAnotherCopy) {
  choosePersonal(account, true);
  addPersonalRow(travel(), 1);
  runToEnd();

  // A folder of another album is never taken over.
  const auto decoy = folder(account.qq, "旅行2019旧");
  std::filesystem::create_directories(decoy);
  std::ofstream(decoy / ".fotolun-archive") << "album\tsomething-else\n";

  ASSERT_TRUE(standin.growAlbum(account.qq, travel().id, 3));
  form.deleteAllRows();
  addPersonalRow(travel(), 1);  // the list now says 15
  runAgain();
  EXPECT_FALSE(std::filesystem::exists(folder(account.qq, "旅行201912")));
  expectPhotos(folder(account.qq, "旅行201915"), personalPhotos(standin, travel(), false));
  EXPECT_EQ(photoRequests(), 3u) << "only the new photos";
  EXPECT_NE(form.log().find("接着保存在上次的文件夹"), std::string::npos) << form.log();

  EXPECT_TRUE(std::filesystem::exists(decoy / ".fotolun-archive"));

  form.setChecked(Control::选择框_高清, false);
  form.setChecked(Control::选择框_原图, true);
  runAgain();
  std::vector<ExpectedPhoto> both = personalPhotos(standin, travel(), false);
  for (const ExpectedPhoto& original : personalPhotos(standin, travel(), true)) both.push_back(original);
  expectPhotos(folder(account.qq, "旅行201915"), both);
}

// A run stopped anywhere and run again ends with exactly one copy of every photo.
TEST_F(Rerun, AStoppedRunRunAgainLeavesExactlyOneCopyOfEachPhoto) {
  choosePersonal(account, true);
  addPersonalRow(travel(), 1);
  standin.server().addFault("/psb", standin::Fault{standin::FaultKind::Delay, -1, 20ms});
  std::mt19937 random(7);
  for (int round = 0; round < 3; ++round) {
    standin.server().clearRequests();
    run = std::make_unique<DownloadRun>(program);
    start();
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 200));
    form.queueAnswer(MessageAnswer::Ok);
    ui.send([&] { run->stopDownload(); });
    run->waitForWorker();
  }
  standin.server().clearFaults();
  runAgain();
  expectPhotos(folder(account.qq, "旅行201912"), personalPhotos(standin, travel(), false));
}

}  // namespace
}  // namespace fotolun::testing
