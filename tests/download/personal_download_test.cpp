// Personal albums end to end against the stand-in: both sizes, the page edges, the HD fallback.
#include <gtest/gtest.h>

#include <regex>

#include "download_fixture.h"
#include "text/encoding.h"

namespace fotolun::testing {
namespace {

const standin::PersonalAlbum& albumNamed(const standin::PersonalAccount& account, const std::string& name) {
  for (const auto& album : account.albums)
    if (album.name == name) return album;
  throw std::runtime_error("no sample album " + name);
}

std::string nineDigits(const std::string& t) {
  return std::regex_match(t, std::regex("[1-9][0-9]{8}")) ? t : "?";
}

struct PersonalDownload : DownloadFixture {
  const standin::PersonalAccount& account = standin.data().ordinaryAccount();
};

TEST_F(PersonalDownload, HdPagesOfFiveHundredEveryPhotoByteForByte) {
  choosePersonal(account, true);
  const auto& travel = albumNamed(account, "旅行2019");
  const auto& five00 = albumNamed(account, "五百张");
  const auto& five01 = albumNamed(account, "五百零一张");
  addPersonalRow(travel, 1);
  addPersonalRow(five00, 11);
  addPersonalRow(five01, 12);
  runToEnd();

  expectPhotos(folder(account.qq, "旅行201912"), personalPhotos(standin, travel, false));
  expectPhotos(folder(account.qq, "五百张500"), personalPhotos(standin, five00, false));
  expectPhotos(folder(account.qq, "五百零一张501"), personalPhotos(standin, five01, false));
  EXPECT_EQ(run->savedPhotos(), 1013);
  EXPECT_EQ(run->failedPhotos(), 0);

  // One page for 12, two for exactly 500 (the second empty), two for 501.
  const auto pages = requestsWithPath("/p/plist.photo/fcgi-bin/cgi_list_photo");
  ASSERT_EQ(pages.size(), 5u);
  const std::string starts[] = {"0", "0", "500", "0", "500"};
  const std::string albums[] = {travel.id, five00.id, five00.id, five01.id, five01.id};
  const auto session = program.credentials.get();
  for (std::size_t i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(pages[i].url,
              "http://user.qzone.qq.com/p/plist.photo/fcgi-bin/cgi_list_photo?t=" +
                  nineDigits(pages[i].query("t")) + "&mode=0&idcNum=0&hostUin=" + account.qq +
                  "&topicId=" + albums[i] + "&noTopic=0&uin=" + session.uin + "&pageStart=" + starts[i] +
                  "&pageNum=500&skipCmtCount=0&singleurl=1&batchId=&notice=0&appid=4&inCharset=utf-8"
                  "&outCharset=utf-8&source=qzone&plat=qzone&outstyle=json&format=json&json_esc=1"
                  "&question=&answer=&callbackFun=shine0&g_tk=" +
                  session.gTk);
  }
  EXPECT_TRUE(requestsWithPath("/GetRoute").empty()) << "no fallback was needed";

  EXPECT_EQ(form.log(),
            "开启启动下载\r\n当前被选择相册编号:1、11、12、\r\n\r\n"
            "准备下载相册《旅行2019》\r\n\r\n---完成相册《旅行2019》下载\r\n\r\n"
            "准备下载相册《五百张》\r\n\r\n---完成相册《五百张》下载\r\n\r\n"
            "准备下载相册《五百零一张》\r\n\r\n---完成相册《五百零一张》下载\r\n\r\n"
            "-------全部下载完毕--------\r\n\r\n");
  const auto changes = form.changes();
  auto has = [&](const std::string& change) {
    return std::find(changes.begin(), changes.end(), change) != changes.end();
  };
  EXPECT_TRUE(has("setText 标签_选择了相册数量 = 总共需下载[3]个相册"));
  EXPECT_TRUE(has("setText 标签_正在下载相册 = 下载到第[3]个相册"));
  EXPECT_TRUE(has("setText 标签_第多少张照片 = 501/501"));
  EXPECT_TRUE(has("setText 标签_第多少张照片 = 500/500"));
  EXPECT_TRUE(has("setText 标签_进度条比例 = 99%"));
  EXPECT_EQ(form.textOf(Control::标签_第多少张照片), "下载完成");
  EXPECT_EQ(form.textOf(Control::标签_进度条比例), "100%");
  ASSERT_EQ(form.boxes().size(), 1u);
  EXPECT_EQ(form.boxes()[0].text, "全部下载完毕");
  EXPECT_EQ(form.boxes()[0].caption, "信息：");
  EXPECT_TRUE(form.visible(Control::按钮_下载选中));
  EXPECT_FALSE(form.visible(Control::按钮_暂停线程));
  EXPECT_FALSE(form.visible(Control::按钮_继续下载));
  EXPECT_FALSE(form.visible(Control::按钮_结束下载));
}

TEST_F(PersonalDownload, PhotoRequestsCarryThePageHeadersAndCookiesOnlyToTheService) {
  choosePersonal(account, true);
  const auto& travel = albumNamed(account, "旅行2019");
  addPersonalRow(travel, 1);
  runToEnd();

  int foreign = 0;
  for (const auto& photo : travel.photos) {
    std::vector<standin::Request> requests;
    for (const auto& request : standin.server().requests())
      if (request.url == photo.url) requests.push_back(request);
    ASSERT_EQ(requests.size(), 1u) << photo.url;
    const standin::Request& request = requests.front();
    std::vector<std::string> names;
    for (const auto& [name, value] : request.headers) {
      if (name == "Accept" || name == "Referer" || name == "Accept-Language" || name == "User-Agent")
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Accept", "Referer", "Accept-Language", "User-Agent"}));
    EXPECT_EQ(request.header("Accept"), "*/*");
    EXPECT_EQ(
        request.header("Referer"),
        "http://qzs.qq.com/qzone/photo/v7/page/photo.html?init=photo.v7/module/photoList2/index&navBar=1"
        "&normal=1&aid=" +
            travel.id);
    EXPECT_EQ(request.header("Accept-Language"), "zh-CN");
    EXPECT_TRUE(
        request.header("User-Agent").starts_with("Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.1;"));
    EXPECT_TRUE(request.header("User-Agent").ends_with("{D9D54F49-E51C-445e-92F2-1EE3C2313240})"));
    const bool service = request.host.ends_with(".qq.com") || request.host.ends_with(".qpic.cn");
    foreign += service ? 0 : 1;
    EXPECT_EQ(request.header("Cookie").find("skey=") != std::string::npos, service) << request.host;
  }
  EXPECT_GT(foreign, 0) << "the sample has photos on a foreign host";
  EXPECT_TRUE(standin.requestsLeakingCookies().empty());
  auto waits = program.waits.all();
  EXPECT_EQ(waits, std::vector<int>(travel.photos.size(), 100));
}

TEST_F(PersonalDownload, TitlesBecomeFileNamesWithoutLosingAnyPhoto) {
  choosePersonal(account, true);
  const auto& edge = albumNamed(account, "标题测试");
  addPersonalRow(edge, 15);
  runToEnd();

  const std::vector<std::string> names = {"重复的标题",
                                          "重复的标题",
                                          "重复的标题",
                                          "",
                                          "",
                                          "前后全角空格",
                                          "前后空格",
                                          "",
                                          "引号和反斜杠",
                                          "笑脸",
                                          "abc",
                                          "我的新照片",
                                          "IMG0001JPG",
                                          "null",
                                          "原图为空",
                                          "scriptalert(1)script",
                                          "img src=x onerror=alert(1)"};
  std::vector<ExpectedPhoto> expected = personalPhotos(standin, edge, false);
  ASSERT_EQ(expected.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) expected[i].name = names[i];
  // The title of 450 bytes is cut to what fits 255 bytes beside "_5_<r>.jpg", between characters.
  std::string longName;
  for (const auto& [name, bytes] : filesIn(folder(account.qq, "标题测试17")))
    if (name.starts_with("长")) longName = name;
  std::size_t kept = 0;
  while (longName.compare(kept * 3, 3, "长") == 0) ++kept;
  const std::size_t tail = longName.size() - kept * 3;
  EXPECT_EQ(kept, (255 - tail) / 3) << longName;
  EXPECT_TRUE(longName.substr(kept * 3).starts_with("_5_")) << longName;
  expected[4].name = longName.substr(0, kept * 3);
  expectPhotos(folder(account.qq, "标题测试17"), expected);
}

TEST_F(PersonalDownload, FullSizePrefersRawAndFallsBackToUrl) {
  choosePersonal(account, false);
  const auto& travel = albumNamed(account, "旅行2019");
  const auto& edge = albumNamed(account, "标题测试");
  addPersonalRow(travel, 1);
  addPersonalRow(edge, 15);
  runToEnd();

  expectPhotos(folder(account.qq, "旅行201912"), personalPhotos(standin, travel, true));
  const auto files = filesIn(folder(account.qq, "标题测试17"));
  EXPECT_EQ(files.size(), edge.photos.size());
  // raw "" (every ninth) and raw null both fetch the ordinary address.
  int fromUrl = 0;
  for (const auto& photo : edge.photos) {
    const std::string expected =
        standin.photoBytes(photo.raw == standin::RawAddress::Given ? photo.rawUrl : photo.url);
    bool found = false;
    for (const auto& [name, bytes] : files) found = found || bytes == expected;
    EXPECT_TRUE(found) << photo.title;
    fromUrl += photo.raw == standin::RawAddress::Given ? 0 : 1;
  }
  EXPECT_GE(fromUrl, 2);
  EXPECT_EQ(run->failedPhotos(), 0);

  const auto routes = requestsWithPath("/GetRoute");
  const auto lists = requestsWithPath("/cgi-bin/common/cgi_view_album_v2");
  ASSERT_EQ(routes.size(), 2u);
  ASSERT_EQ(lists.size(), 2u);
  const auto session = program.credentials.get();
  const std::string host = standin.data().routeFor(account.qq).albumHost;
  for (std::size_t i = 0; i < lists.size(); ++i) {
    const std::string t = lists[i].query("t");
    EXPECT_TRUE(std::regex_match(t, std::regex("0\\.[0-9]{15}"))) << t;
    EXPECT_EQ(lists[i].url, "http://" + host +
                                "/cgi-bin/common/cgi_view_album_v2?inCharset=gbk&outCharset=gbk&format=json"
                                "&plat=qzone&source=qzone&idcNum=0&hostUin=" +
                                account.qq + "&albumId=" + (i == 0 ? travel.id : edge.id) + "&t=" + t +
                                "&g_tk=" + session.gTk + "&uin=" + session.uin);
  }
  EXPECT_EQ(form.textOf(Control::标签_第多少张照片), "下载完成");
}

TEST_F(PersonalDownload, HdFallsBackToTheStorageHostAfterTenEmptyReplies) {
  choosePersonal(account, true);
  const auto& travel = albumNamed(account, "旅行2019");
  addPersonalRow(travel, 1);
  standin.server().addFault("/p/plist.photo/", standin::Fault{standin::FaultKind::EmptyReply, 10});
  runToEnd();

  expectPhotos(folder(account.qq, "旅行201912"), personalPhotos(standin, travel, false));
  EXPECT_EQ(requestsWithPath("/p/plist.photo/fcgi-bin/cgi_list_photo").size(), 10u);
  const auto fallback = requestsWithPath("/fcgi-bin/cgi_list_photo");
  ASSERT_EQ(fallback.size(), 1u);
  const auto session = program.credentials.get();
  EXPECT_EQ(fallback[0].url,
            "http://" + standin.data().routeFor(account.qq).albumHost + "/fcgi-bin/cgi_list_photo?g_tk=" +
                session.gTk + "&callback=shine0_Callback&mode=&idcNum=0&hostUin=" + account.qq +
                "&topicId=" + travel.id + "&noTopic=0&uin=" + session.uin +
                "&pageStart=0&pageNum=500&singleurl=1&notice=0&appid=4&inCharset=utf-8"
                "&outCharset=utf-8&source=qzone&plat=qzone&outstyle=json&format=json&json_esc=1"
                "&question=&answer=&callbackFun=shine0");
  auto waits = program.waits.all();
  ASSERT_GE(waits.size(), 10u);
  EXPECT_EQ(std::vector<int>(waits.begin(), waits.begin() + 9), std::vector<int>(9, 2000));
  EXPECT_NE(waits[9], 2000) << "the storage host is asked at once, not after another pause";
}

TEST_F(PersonalDownload, APageNobodyAnswersPastThePatienceEndsTheRunForNow) {
  choosePersonal(account, true);
  addPersonalRow(albumNamed(account, "旅行2019"), 1);
  addPersonalRow(albumNamed(account, "心情日记"), 2);
  standin.server().addFault("topicId=" + albumNamed(account, "旅行2019").id,
                            standin::Fault{standin::FaultKind::EmptyReply});
  runToEnd();

  EXPECT_TRUE(filesIn(folder(account.qq, "旅行201912")).empty());
  EXPECT_TRUE(filesIn(folder(account.qq, "心情日记2")).empty()) << "not asked: the service is walled off";
  const std::string log = form.log();
  EXPECT_NE(log.find("服务器持续繁忙或没有回应（空回复（HTTP 200）），等了30分钟仍未恢复"), std::string::npos)
      << log;
  EXPECT_NE(log.find("有2个相册没有完整下载：《旅行2019》《心情日记》"), std::string::npos) << log;
  EXPECT_EQ(run->failedAlbums(), 2);
  EXPECT_EQ(run->cutShort(), DownloadTally::CutShort::serviceWall);
}

}  // namespace
}  // namespace fotolun::testing
