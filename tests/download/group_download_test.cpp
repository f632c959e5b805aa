// Group albums end to end against the stand-in.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "download_fixture.h"
#include "text/encoding.h"

namespace fotolun::testing {
namespace {

struct GroupDownload : DownloadFixture {
  const standin::Group& group = standin.data().smallGroup();
  const standin::GroupAlbum& album(const std::string& title) {
    for (const auto& a : group.albums)
      if (a.title == title) return a;
    throw std::runtime_error("no sample album " + title);
  }
};

TEST_F(GroupDownload, ThousandPhotosInThreePagesNoneLostToARepeatedName) {
  chooseGroup(group);
  const auto& thousand = album("千张");
  addGroupRow(thousand, 5);
  runToEnd();

  // Names repeat every fifty photos and the index restarts per page, so photo 1 and photo 501
  // share title and index: both are kept.
  expectPhotos(folder(group.number, "千张1000"), groupPhotos(standin, thousand));
  const auto pages = requestsWithPath("/cgi-bin/upp/qun_list_photo_v2");
  ASSERT_EQ(pages.size(), 3u);
  const auto session = program.credentials.get();
  const std::string starts[] = {"0", "500", "1000"};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(pages[i].url,
              "http://u.photo.qzone.qq.com/cgi-bin/upp/qun_list_photo_v2?getCommentCnt=5&format=json"
              "&platform=qzone&inCharset=utf-8&outCharset=utf-8&source=jsapi&qunId=" +
                  group.number + "&albumId=" + thousand.id + "&uin=" + session.uin + "&g_tk=" + session.gTk +
                  "&start=" + starts[i] + "&num=500");
  }
  const auto changes = form.changes();
  auto has = [&](const std::string& change) {
    return std::find(changes.begin(), changes.end(), change) != changes.end();
  };
  EXPECT_TRUE(has("setText 标签_第多少张照片 = 第[501]个图片"));
  EXPECT_TRUE(has("setText 标签_第多少张照片 = 第[1000]个图片"));
  EXPECT_EQ(form.log(),
            "开启启动下载\r\n当前被选择相册编号:5、\r\n\r\n准备下载相册《千张》\r\n\r\n"
            "----完成相册《千张》下载\r\n\r\n-------全部下载完毕--------\r\n\r\n");
  EXPECT_EQ(program.waits.all(), std::vector<int>(1000, 200));
}

TEST_F(GroupDownload, TitlesStayOneFolderBelowTheNumber) {
  chooseGroup(group);
  int number = 1;
  for (const char* title : {"聚会/2019", "say \"cheese\"", "a:b?c", "back\\slash", "🎉派对", "无标记"})
    addGroupRow(album(title), number++);
  runToEnd();

  EXPECT_EQ(run->failedPhotos(), 0);
  expectPhotos(folder(group.number, "聚会20193"), groupPhotos(standin, album("聚会/2019")));
  expectPhotos(folder(group.number, "say \"cheese\"2"), groupPhotos(standin, album("say \"cheese\"")));
  expectPhotos(folder(group.number, "a:b?c2"), groupPhotos(standin, album("a:b?c")));
  expectPhotos(folder(group.number, "backslash2"), groupPhotos(standin, album("back\\slash")));
  expectPhotos(folder(group.number, "?派对2"), groupPhotos(standin, album("🎉派对")));
  // Addresses without the size marker are fetched as listed.
  expectPhotos(folder(group.number, "无标记3"), groupPhotos(standin, album("无标记")));
  std::set<std::string> folders;
  for (const auto& entry : std::filesystem::directory_iterator(saveFolder / group.number))
    if (entry.is_directory()) folders.insert(entry.path().filename().string());
  EXPECT_EQ(folders.size(), 6u);
  EXPECT_TRUE(std::filesystem::is_empty(saveFolder / "program"));
}

TEST_F(GroupDownload, EmptySaveFolderMeansTheProgramDirectory) {
  chooseGroup(group);
  form.setText(Control::编辑框_保存位置, "");
  addGroupRow(album("a:b?c"), 3);
  runToEnd();
  expectPhotos(saveFolder / "program" / group.number / "a:b?c2", groupPhotos(standin, album("a:b?c")));
}

// The group is the one typed when the run began: editing the box (or listing another number)
// meanwhile cannot send the rest of the run to another group.
TEST_F(GroupDownload, TheNumberIsFixedWhenTheRunStarts) {
  chooseGroup(group);
  // A count of 1000 asks on past the short first page until a page comes back empty.
  const auto& party = album("聚会/2019");
  addRow("1", party.title, "1000", party.id);
  standin.server().addFault("qun_list_photo_v2",
                            standin::Fault{standin::FaultKind::Delay, 1, std::chrono::milliseconds(100)});
  start();
  while (requestsWithPath("/cgi-bin/upp/qun_list_photo_v2").empty())
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  ui.send([&] { form.setText(Control::编辑框_号码, "424242"); });
  run->waitForWorker();

  const auto requests = requestsWithPath("/cgi-bin/upp/qun_list_photo_v2");
  ASSERT_EQ(requests.size(), 2u);
  for (const auto& request : requests) EXPECT_EQ(request.query("qunId"), group.number);
  expectPhotos(folder(group.number, "聚会20191000"), groupPhotos(standin, party));
}

}  // namespace
}  // namespace fotolun::testing
