// What the run makes of the album list, and how it treats photos that fail.
#include <gtest/gtest.h>

#include <fstream>

#include "download/part_file.h"
#include "download/photo_store.h"
#include "download_fixture.h"
#include "text/encoding.h"

namespace fotolun::testing {
namespace {

struct RunRules : DownloadFixture {
  const standin::PersonalAccount& account = standin.data().ordinaryAccount();
  const standin::PersonalAlbum& album(const std::string& name) {
    for (const auto& a : account.albums)
      if (a.name == name) return a;
    throw std::runtime_error("no sample album " + name);
  }
};

TEST_F(RunRules, NoCheckedRowStillEndsTheRunProperly) {
  choosePersonal(account, true);
  addRow("1", "旅行2019", "12", album("旅行2019").id, false);
  runToEnd();
  EXPECT_EQ(form.log(), "开启启动下载\r\n当前未选择任何相册\r\n\r\n-------全部下载完毕--------\r\n\r\n");
  EXPECT_EQ(form.textOf(Control::标签_选择了相册数量), "总共需下载[0]个相册");
  EXPECT_EQ(form.textOf(Control::标签_第多少张照片), "下载完成");
  ASSERT_EQ(form.boxes().size(), 1u);
  EXPECT_EQ(form.boxes()[0].text, "全部下载完毕");
  EXPECT_TRUE(standin.server().requests().empty());
}

TEST_F(RunRules, RowsWithoutCountOrIdAreListedButSkippedAndBlankNamesGetANumber) {
  choosePersonal(account, true);
  const auto& diary = album("心情日记");
  addRow("3", "旅行2019", "", album("旅行2019").id);
  addRow("4", "旅行2019", "12", "");
  addRow("7", "\xE3\x80\x80  ", "2", diary.id);
  runToEnd();

  const std::string log = form.log();
  EXPECT_NE(log.find("当前被选择相册编号:3、4、7、\r\n\r\n"), std::string::npos) << log;
  EXPECT_EQ(form.textOf(Control::标签_选择了相册数量), "总共需下载[1]个相册");
  const auto start = log.find("准备下载相册《未知名称_");
  ASSERT_NE(start, std::string::npos) << log;
  const std::string name = log.substr(start + std::string("准备下载相册《").size(),
                                      log.find("》", start) - start - std::string("准备下载相册《").size());
  const int n = std::stoi(name.substr(std::string("未知名称_").size()));
  EXPECT_TRUE(n >= 1 && n <= 100) << name;
  expectPhotos(folder(account.qq, name + "2"), personalPhotos(standin, diary, false));
}

TEST_F(RunRules, TheListingIsChosenAfreshForEveryAlbum) {
  choosePersonal(account, true);
  addPersonalRow(album("心情日记"), 1);
  addPersonalRow(album("旅行2019"), 2);
  addPersonalRow(album("家人：聚会？"), 3);
  // The user switches to full size while the first album downloads, then to nothing at all.
  int opened = 0;
  form.onLog = [&](const Text& line) {
    if (GbkToUtf8(line).starts_with("准备下载相册")) {
      if (++opened == 1)
        form.setChecked(Control::选择框_原图, true), form.setChecked(Control::选择框_高清, false);
      if (opened == 2) form.setCurrentIndex(Control::组合框1, -1);
    }
  };
  runToEnd();
  EXPECT_EQ(opened, 2) << "no listing for a source that is neither";
  EXPECT_EQ(requestsWithPath("/p/plist.photo/fcgi-bin/cgi_list_photo").size(), 1u);
  ASSERT_EQ(requestsWithPath("/cgi-bin/common/cgi_view_album_v2").size(), 1u);
  EXPECT_EQ(requestsWithPath("/cgi-bin/common/cgi_view_album_v2")[0].query("albumId"), album("旅行2019").id);
  EXPECT_EQ(form.textOf(Control::标签_正在下载相册), "下载到第[3]个相册");
}

TEST_F(RunRules, APhotoThatFailsIsRetriedThenNamedInTheLogAndCounted) {
  choosePersonal(account, true);
  const auto& diary = album("心情日记");
  addPersonalRow(diary, 1);
  // The first photo fails for good, the second answers on its third attempt.
  standin.server().addFault(diary.photos[0].url, standin::Fault{standin::FaultKind::HttpError, -1, {}, 404});
  standin.server().addFault(diary.photos[1].url, standin::Fault{standin::FaultKind::EmptyReply, 1});
  standin.server().addFault(diary.photos[1].url, standin::Fault{standin::FaultKind::HttpError, 1, {}, 503});
  runToEnd();

  EXPECT_EQ(run->failedPhotos(), 1);
  EXPECT_EQ(run->savedPhotos(), 1);
  EXPECT_EQ(run->savedBytes(), static_cast<long long>(standin.photoBytes(diary.photos[1].url).size()));
  expectPhotos(folder(account.qq, "心情日记2"), {personalPhotos(standin, diary, false)[1]});
  // A 503 is a busy host: its wait grows (with jitter) rather than keeping the one-second pace.
  const std::vector<int> waits = program.waits.all();
  ASSERT_EQ(waits.size(), 6u);
  EXPECT_EQ((std::vector<int>{waits[0], waits[1], waits[2], waits[3], waits[5]}),
            (std::vector<int>{1000, 1000, 100, 1000, 100}));
  EXPECT_GE(waits[4], 1600);
  EXPECT_LE(waits[4], 2400);
  const std::string log = form.log();
  EXPECT_NE(log.find("图片下载失败：" + diary.photos[0].title + "（HTTP 404）\r\n"), std::string::npos)
      << log;
  EXPECT_NE(log.find("服务器繁忙，"), std::string::npos) << log;
  EXPECT_NE(
      log.find(
          "有1张图片下载失败\r\n有1个相册没有完整下载：《心情日记》\r\n-------全部下载完毕--------\r\n\r\n"),
      std::string::npos)
      << log;
  EXPECT_EQ(form.boxes().back().text, "下载结束，但有1个相册、1张图片没有下载成功，详见日志");
  EXPECT_EQ(run->failedAlbums(), 1);
}

TEST_F(RunRules, AFolderThatCannotBeMadeIsReportedOnceAndNothingIsFetched) {
  choosePersonal(account, true);
  std::ofstream(saveFolder / "plain-file") << "not a folder";
  form.setText(Control::编辑框_保存位置, gbk((saveFolder / "plain-file").string()));
  addPersonalRow(album("旅行2019"), 1);
  runToEnd();

  const std::string log = form.log();
  const std::string line =
      "无法创建文件夹：" + (saveFolder / "plain-file").string() + "/" + account.qq + "/旅行201912\r\n";
  EXPECT_NE(log.find(line), std::string::npos) << log;
  EXPECT_EQ(log.find(line), log.rfind(line));
  EXPECT_EQ(log.find("图片下载失败："), std::string::npos) << "no line per photo";
  EXPECT_EQ(run->failedPhotos(), 12);
  EXPECT_NE(log.find("有12张图片下载失败\r\n"), std::string::npos);
  for (const auto& request : standin.server().requests()) EXPECT_NE(request.path, "/psb") << request.url;
}

TEST_F(RunRules, ASavedPhotoIsNeverReplaced) {
  choosePersonal(account, true);
  const auto& diary = album("心情日记");
  const auto folderPath = folder(account.qq, "心情日记2");
  std::filesystem::create_directories(folderPath);
  // Every random part of the first photo's name is taken already.
  const std::string title = diary.photos[0].title;
  for (int r = 1; r <= 2000; ++r)
    std::ofstream(folderPath / (title + "_1_" + std::to_string(r) + ".jpg")) << r;
  addPersonalRow(diary, 1);
  runToEnd();

  auto files = filesIn(folderPath);
  EXPECT_EQ(files.size(), 2002u);
  for (int r = 1; r <= 2000; ++r)
    EXPECT_EQ(files[title + "_1_" + std::to_string(r) + ".jpg"], std::to_string(r));
  int counted = 0;
  for (const auto& [name, bytes] : files) {
    const std::string rest = name.substr(std::min(name.size(), title.size() + 3));
    if (name.starts_with(title + "_1_") && std::count(rest.begin(), rest.end(), '_') == 1 &&
        rest.ends_with("_2.jpg")) {
      EXPECT_EQ(bytes, standin.photoBytes(diary.photos[0].url));
      ++counted;
    }
  }
  EXPECT_EQ(counted, 1) << "a counter after the random part";
}

// A UI thread on which the user confirms a stop just as the photo would take its name.
class StopOnFirstSend final : public UiThread {
 public:
  explicit StopOnFirstSend(RunControl& control) : control_(control) {}
  bool isUiThread() const override { return true; }
  void send(const std::function<void()>& fn) override {
    control_.stop();
    fn();
  }

 private:
  RunControl& control_;
};

TEST_F(RunRules, AStoppedPhotoLeavesNoFileBehind) {
  signIn(account.qq);
  RunControl control;
  StopOnFirstSend stopping(control);
  Program stopped(form, stopping);
  stopped.proxy = program.proxy;
  stopped.delayScale = 0;
  stopped.credentials.set(program.credentials.get());
  Context context(stopped, form, control);
  DownloadTally tally;
  PhotoStore photos(context, tally);
  const Text target = gbk((saveFolder / "stopped").string());
  std::filesystem::create_directories(saveFolder / "stopped");

  ListedPhoto photo;
  photo.url = album("心情日记").photos[0].url;
  photo.name = "a";
  photo.index = 1;
  EXPECT_THROW(photos.storePhoto(photo, "V1", target, 100), RunStopped);
  EXPECT_TRUE(std::filesystem::is_empty(saveFolder / "stopped"));
  EXPECT_EQ(tally.savedPhotos + tally.failedPhotos, 0);
}

TEST_F(RunRules, APartFileTakesOnlyAFreeNameAndVanishesUnlessMoved) {
  const auto dir = saveFolder / "parts";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "taken.jpg") << "old";
  {
    auto part = PartFile::create(dir.string());
    ASSERT_TRUE(part);
    ASSERT_TRUE(part->write("new"));
    EXPECT_EQ(part->moveTo("taken.jpg"), PartFile::Move::nameTaken);
    EXPECT_EQ(part->moveTo("free.jpg"), PartFile::Move::done);
  }
  { ASSERT_TRUE(PartFile::create(dir.string())->write("dropped")); }
  EXPECT_EQ(filesIn(dir), (std::map<std::string, std::string>{{"free.jpg", "new"}, {"taken.jpg", "old"}}));
  EXPECT_FALSE(PartFile::create((dir / "missing").string()));
}

// Pieces of every size around the gathering buffer's land whole and in order, moved or not.
TEST_F(RunRules, APartFileKeepsEveryPieceInOrderWhateverItsSize) {
  const auto dir = saveFolder / "pieces";
  std::filesystem::create_directories(dir);
  constexpr std::size_t g = PartFile::kGathered;
  const std::vector<std::vector<std::size_t>> cases = {
      {1, 16384, 16384, g - 1, 2, g, g + 1, 7}, {g}, {3 * g + 5, 1}, {g - 3, 3, 3, g}, {}};
  for (std::size_t c = 0; c < cases.size(); ++c) {
    std::string expected;
    auto part = PartFile::create(dir.string());
    ASSERT_TRUE(part);
    for (const std::size_t size : cases[c]) {
      std::string piece(size, ' ');
      for (std::size_t i = 0; i < size; ++i) piece[i] = static_cast<char>('a' + (expected.size() + i) % 26);
      ASSERT_TRUE(part->append(piece));
      expected += piece;
    }
    if (c % 2 == 0) {
      ASSERT_TRUE(part->writeOut());
    }
    ASSERT_TRUE(part->finish());
    ASSERT_EQ(part->moveTo(std::to_string(c)), PartFile::Move::done);
    EXPECT_EQ(filesIn(dir)[std::to_string(c)], expected) << "case " << c;
  }
}

// Whatever goes wrong inside an album (memory running out included) ends that album as failed,
// never the run or the program; the temporary files a crashed process left are swept away.
TEST_F(RunRules, AnAlbumThatThrowsFailsAloneAndCrashLeftoversGo) {
  choosePersonal(account, true);
  addPersonalRow(album("旅行2019"), 1);
  addPersonalRow(album("心情日记"), 2);
  const auto diaryFolder = folder(account.qq, "心情日记2");
  std::filesystem::create_directories(diaryFolder);
  // A process id no process has (ids stay below 2^22) and one that runs (init).
  std::ofstream(diaryFolder / ".photo-9999999-3.part") << "torn";
  std::ofstream(diaryFolder / ".photo-1-3.part") << "someone else's";
  form.onLog = [](const Text& text) {
    if (text.find(gbk("准备下载相册《旅行2019》")) == 0) throw std::bad_alloc();
  };
  runToEnd();

  const std::string log = form.log();
  EXPECT_NE(log.find("相册《旅行2019》下载出错："), std::string::npos) << log;
  EXPECT_NE(log.find("有1个相册没有完整下载：《旅行2019》"), std::string::npos) << log;
  EXPECT_EQ(run->savedPhotos(), 2);
  EXPECT_FALSE(std::filesystem::exists(diaryFolder / ".photo-9999999-3.part"));
  EXPECT_TRUE(std::filesystem::exists(diaryFolder / ".photo-1-3.part"));
  std::filesystem::remove(diaryFolder / ".photo-1-3.part");
}

}  // namespace
}  // namespace fotolun::testing
