// Pause, resume and stop of a running download, at points chosen by a seed, with slow photos.
#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <tuple>

#include "download_fixture.h"
#include "text/encoding.h"

namespace fotolun::testing {
namespace {

using namespace std::chrono_literals;

// What the outside world can see of a run: the stand-in's request log and the files on disk.
struct Snapshot {
  std::size_t requests = 0;
  std::map<std::string, std::string> files;
  std::size_t changes = 0;
};

// (seed, photos fetched at once): with several streams a pause or stop finds several in flight.
class PauseStop : public DownloadFixture, public ::testing::WithParamInterface<std::tuple<int, int>> {
 protected:
  PauseStop() : random(static_cast<unsigned>(std::get<0>(GetParam()))) {
    program.parallelPhotos = std::get<1>(GetParam());
    const auto& account = standin.data().ordinaryAccount();
    choosePersonal(account, true);
    for (std::size_t i = 0; i < account.albums.size(); ++i) {
      const auto& album = account.albums[i];
      if (album.name == "旅行2019" || album.name == "心情日记")
        addPersonalRow(album, static_cast<int>(i) + 1);
    }
    // Slow photos, so that a pause or a stop finds transfers in flight; slower with more of them
    // at once, so that the run lasts as long.
    standin.server().addFault("/psb",
                              standin::Fault{standin::FaultKind::Delay, -1, 50ms * program.parallelPhotos});
    // The user reads the question before answering: the halted worker settles meanwhile, and
    // what it left is what the answer finds.
    auto answer = form.onMessageBox;
    form.onMessageBox = [this, answer](const Text& text, const Text& caption, MessageButtons buttons) {
      if (buttons == MessageButtons::OkCancel) {
        std::this_thread::sleep_for(150ms);
        atAnswer = snapshot();
      }
      return answer(text, caption, buttons);
    };
  }

  // Photos under their names; a temporary file may stand while the worker waits and goes with a stop.
  Snapshot snapshot() {
    std::map<std::string, std::string> photos = allFiles();
    std::erase_if(photos, [](const auto& file) { return file.first.ends_with(".part"); });
    return Snapshot{standin.server().requests().size(), photos, form.changes().size()};
  }
  void atRandomPoint() { std::this_thread::sleep_for(std::chrono::milliseconds(random() % 200)); }
  bool noPartFiles() {
    for (const auto& [path, bytes] : allFiles())
      if (path.ends_with(".part")) return false;
    return true;
  }
  void expectEverythingDownloaded() {
    const auto& account = standin.data().ordinaryAccount();
    for (const auto& album : account.albums) {
      if (album.name == "旅行2019")
        expectPhotos(folder(account.qq, "旅行201912"), personalPhotos(standin, album, false));
      if (album.name == "心情日记")
        expectPhotos(folder(account.qq, "心情日记2"), personalPhotos(standin, album, false));
    }
    ASSERT_EQ(form.boxes().back().text, "全部下载完毕");
  }

  std::mt19937 random;
  Snapshot atAnswer;
};

TEST_P(PauseStop, AConfirmedStopEndsEverythingWhereItStood) {
  start();
  atRandomPoint();
  form.queueAnswer(MessageAnswer::Ok);
  ui.send([&] { run->stopDownload(); });
  ASSERT_GT(atAnswer.changes, 0u) << "the question was asked";
  run->waitForWorker();
  std::this_thread::sleep_for(50ms);

  const Snapshot after = snapshot();
  EXPECT_EQ(after.requests, atAnswer.requests) << "no request after the stop";
  EXPECT_EQ(after.files, atAnswer.files) << "no file written after the stop";
  EXPECT_TRUE(noPartFiles());
  const auto changes = form.changes();
  ASSERT_EQ(changes.size(), atAnswer.changes + 6)
      << "the idle set (2.获取相册 usable again too) and the stop line, nothing from the worker";
  EXPECT_EQ(changes.back(), "appendLog 彻底结束下载了\r\n");
  EXPECT_TRUE(form.visible(Control::按钮_下载选中));
  EXPECT_FALSE(form.visible(Control::按钮_结束下载));
  EXPECT_EQ(form.log().find("全部下载完毕"), std::string::npos);
  ASSERT_EQ(form.boxes().size(), 1u);
  EXPECT_EQ(form.boxes()[0].text, "您真的要彻底结束下载么？");
  EXPECT_EQ(form.boxes()[0].caption, "警告！");
  // Whatever stands under a photo name is a whole photo.
  for (const auto& [path, bytes] : after.files) EXPECT_FALSE(bytes.empty()) << path;
}

TEST_P(PauseStop, APausedRunMakesNoProgressAndResumesToTheEnd) {
  start();
  atRandomPoint();
  ui.send([&] { run->pauseDownload(); });
  ASSERT_TRUE(run->running());
  std::this_thread::sleep_for(150ms);
  const Snapshot paused = snapshot();
  std::this_thread::sleep_for(200ms);
  const Snapshot later = snapshot();
  EXPECT_EQ(later.requests, paused.requests);
  EXPECT_EQ(later.files, paused.files);
  EXPECT_EQ(later.changes, paused.changes);
  EXPECT_TRUE(form.visible(Control::按钮_继续下载));
  EXPECT_FALSE(form.visible(Control::按钮_暂停线程));

  ui.send([&] { run->resumeDownload(); });
  run->waitForWorker();
  expectEverythingDownloaded();
  EXPECT_NE(form.log().find("暂停了下载\r\n"), std::string::npos);
  EXPECT_NE(form.log().find("恢复了下载\r\n"), std::string::npos);
  EXPECT_TRUE(noPartFiles());
}

TEST_P(PauseStop, CancellingTheQuestionGoesOnAndAPausedRunStaysPaused) {
  start();
  atRandomPoint();
  form.queueAnswer(MessageAnswer::Cancel);
  ui.send([&] { run->stopDownload(); });
  atRandomPoint();
  ui.send([&] { run->pauseDownload(); });
  ASSERT_TRUE(run->running()) << "the run must still be going for the pause to mean anything";
  form.queueAnswer(MessageAnswer::Cancel);
  ui.send([&] { run->stopDownload(); });
  std::this_thread::sleep_for(100ms);
  const Snapshot paused = snapshot();
  std::this_thread::sleep_for(150ms);
  EXPECT_EQ(snapshot().requests, paused.requests) << "still paused after the cancelled stop";
  EXPECT_EQ(snapshot().changes, paused.changes);
  EXPECT_TRUE(form.visible(Control::按钮_继续下载));

  ui.send([&] { run->resumeDownload(); });
  run->waitForWorker();
  expectEverythingDownloaded();
  EXPECT_EQ(form.log().find("彻底结束下载了"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(SeedsAndStreams, PauseStop,
                         ::testing::Combine(::testing::Values(1, 2, 3), ::testing::Values(1, 4)));

}  // namespace
}  // namespace fotolun::testing
