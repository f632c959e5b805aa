// The pieces a run is made of that need no server: jobs, names on disk, cookie scope, the t value,
// listing replies and the progress display.
#include <gtest/gtest.h>

#include <climits>
#include <regex>
#include <set>

#include "download/album_job.h"
#include "download/photo_progress.h"
#include "download/random_fraction_text.h"
#include "form/locked_ui_thread.h"
#include "names/path_names.h"
#include "names/unknown_names.h"
#include "session/session_destination.h"
#include "story/photo_listing.h"
#include "support/scripted_form.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

using testing::gbk;

TEST(AlbumJobText, RoundTripsAndCutsANameAtItsOwnSeparator) {
  const AlbumJob job{"58", "V123", gbk("旅行"), "", ""};
  const AlbumJob back = splitAlbumJob(joinAlbumJob(job));
  EXPECT_EQ(back.photoCountText, "58");
  EXPECT_EQ(back.albumId, "V123");
  EXPECT_EQ(back.albumName, gbk("旅行"));

  EXPECT_EQ(splitAlbumJob(joinAlbumJob({"3", "x", gbk("春--@@--夏--@@--秋"), "", ""})).albumName, gbk("春"));
}

TEST(AlbumJobText, PhotoCountIsTheLeadingDigitsAndNeverWraps) {
  EXPECT_EQ(photoCountOf("501"), 501);
  EXPECT_EQ(photoCountOf("12abc"), 12);
  EXPECT_EQ(photoCountOf("null"), 0);
  EXPECT_EQ(photoCountOf(""), 0);
  EXPECT_EQ(photoCountOf("-5"), 0);
  EXPECT_EQ(photoCountOf("99999999999999999999"), INT_MAX);
}

// Names for albums without one come from the album id: the same every run, spread over the ids.
TEST(AlbumJobText, BlankNamesBecomeUnknownNamesTheAlbumIdDecides) {
  EXPECT_EQ(albumNameOrUnknown(gbk("\xE3\x80\x80 相册 "), "V1"), gbk("相册"));
  const std::regex unnamed("未知名称_([0-9]+)"), unknown("未知相册[A-Z]{5}");
  std::set<std::string> numbers, letters;
  for (int i = 0; i < 300; ++i) {
    const Text id = "V1a" + std::to_string(i);
    std::smatch m;
    const std::string name = GbkToUtf8(albumNameOrUnknown(gbk(" \xE3\x80\x80"), id));
    ASSERT_TRUE(std::regex_match(name, m, unnamed)) << name;
    const int n = std::stoi(m[1]);
    ASSERT_TRUE(n >= 1 && n <= 100) << n;
    EXPECT_EQ(albumNameOrUnknown("", id), gbk(name));
    const std::string album = GbkToUtf8(unknownAlbumName(id));
    ASSERT_TRUE(std::regex_match(album, unknown)) << album;
    EXPECT_EQ(unknownAlbumName(id), gbk(album));
    numbers.insert(name);
    letters.insert(album);
  }
  EXPECT_GT(numbers.size(), 50u);
  EXPECT_GT(letters.size(), 290u);
}

// Linux's rules, on every system; Windows' are in name_rules_test.cpp.
TEST(NamesOnDisk, FolderNamesStayOneLevelDown) {
  constexpr NameRules posixRules = NameRules::posix;
  EXPECT_EQ(folderComponent(gbk("a/b\\c"), posixRules), gbk("abc"));
  EXPECT_EQ(folderComponent("..", posixRules), "_..");
  EXPECT_EQ(folderComponent(".", posixRules), "_.");
  EXPECT_EQ(folderComponent("../..", posixRules), "_....");
  EXPECT_EQ(folderComponent(gbk("问题:为何?"), posixRules), gbk("问题:为何?"));
  // 0x5C as the trail byte of a GBK character is part of that character, not a separator.
  const Text trailBackslash = "\x81\x5C";
  EXPECT_EQ(folderComponent(trailBackslash, posixRules), trailBackslash);
}

TEST(NamesOnDisk, LongNamesAreCutBetweenCharactersKeepingTheTail) {
  constexpr NameRules posixRules = NameRules::posix;
  Text title;
  for (int i = 0; i < 200; ++i) title += gbk("照");  // 600 UTF-8 bytes
  const Text name = photoFileName(title, 37, 1999, 2, ".jpg", posixRules);
  const std::string onDisk = GbkToUtf8(name);
  EXPECT_LE(onDisk.size(), kMaxNameLength);
  EXPECT_GT(onDisk.size(), kMaxNameLength - 3);
  EXPECT_TRUE(onDisk.ends_with("照_37_1999_2.jpg")) << onDisk;
  EXPECT_EQ(onDisk.find("\xEF\xBF\xBD"), std::string::npos) << "no character was cut in half";

  EXPECT_EQ(photoFileName("", 4, 77, 0, ".jpg", posixRules), "_4_77.jpg");
  EXPECT_EQ(photoFileName("IMG", 3, 1417, 0, ".jpg", posixRules), "IMG_3_1417.jpg");
  EXPECT_EQ(GbkToUtf8(fitNameComponent(title, "58", kMaxNameLength, posixRules)).size(), 254u)
      << "84 characters and the count";
}

TEST(CookieScope, OnlyTheServiceDomainsOnADotBoundary) {
  EXPECT_TRUE(maySendSession(ServiceHosts{}, "http://b1.photo.store.qq.com/x.jpg"));
  EXPECT_TRUE(maySendSession(ServiceHosts{}, "http://a2.qpic.cn/psb?/V1/x"));
  EXPECT_TRUE(maySendSession(ServiceHosts{}, "http://qq.com/"));
  EXPECT_TRUE(maySendSession(ServiceHosts{}, "http://m.QQ.COM:8080/a"));
  EXPECT_FALSE(maySendSession(ServiceHosts{}, "http://photos.example-cdn.net/x.jpg"));
  EXPECT_FALSE(maySendSession(ServiceHosts{}, "http://evilqq.com/x"));
  EXPECT_FALSE(maySendSession(ServiceHosts{}, "http://qq.com.evil.net/x"));
  EXPECT_FALSE(maySendSession(ServiceHosts{}, "http://a.qq.com@evil.net/x"));
  EXPECT_FALSE(maySendSession(ServiceHosts{}, "http://evil.net/?u=a.qq.com"));
  EXPECT_FALSE(maySendSession(ServiceHosts{}, "null"));
  ServiceHosts mirror;
  mirror.personalSpace = "127.0.0.1:8080";
  EXPECT_TRUE(maySendSession(mirror, "http://127.0.0.1:9/p")) << "a host the user configured";
  EXPECT_FALSE(maySendSession(mirror, "http://127.0.0.2/p"));
}

TEST(RandomFraction, ZeroPointFifteenDigitsWithoutZeroAtEitherEnd) {
  const std::regex form("0\\.[1-9][0-9]{13}[1-9]");
  for (int i = 0; i < 1000; ++i) {
    const Text t = randomFractionText();
    ASSERT_EQ(t.size(), 17u);
    ASSERT_TRUE(std::regex_match(t, form)) << t;
  }
}

TEST(PhotoListingReply, MembersReadAsJsonCPrintsThemInGbk) {
  const PhotoListing listing(
      R"({"data":{"photoList":[{"name":"春游 \u7167\u7247","url":"http:\/\/a.qpic.cn\/p\/1","n":12},)"
      R"({"url":null}]}})",
      "photoList");
  ASSERT_EQ(listing.count(), 2);
  EXPECT_EQ(listing.memberText(0, "name"), gbk("\"春游 照片\""));
  EXPECT_EQ(listing.memberText(0, "url"), "\"http:\\/\\/a.qpic.cn\\/p\\/1\"");
  EXPECT_EQ(listing.memberText(0, "n"), "12");
  EXPECT_EQ(listing.memberText(1, "url"), "null");
  EXPECT_EQ(listing.memberText(1, "name"), "null");
  EXPECT_EQ(addressFromJsonText(listing.memberText(0, "url")), "http://a.qpic.cn/p/1");
  EXPECT_EQ(photoNameFromJsonText(listing.memberText(1, "name")), "null");
  EXPECT_EQ(photoNameFromJsonText(gbk("\"　我的（新）照片. \"")), gbk("我的新照片"));
}

TEST(PhotoListingReply, AnythingButTheArrayListsNothing) {
  EXPECT_EQ(PhotoListing("", "photoList").count(), 0);
  EXPECT_EQ(PhotoListing("shine0_Callback({\"data\":{}})", "photoList").count(), 0);
  EXPECT_EQ(PhotoListing(R"({"data":{"photoList":{"0":1}}})", "photoList").count(), 0);
  EXPECT_EQ(PhotoListing(R"({"data":[1]})", "photoList").count(), 0);
  EXPECT_EQ(PhotoListing(R"({"data":{"pic":[{},{}]}})", "photoList").count(), 0);
  EXPECT_EQ(PhotoListing(R"({"data":{"pic":[{},{}]}})", "pic").count(), 2);
}

struct ProgressFixture : ::testing::Test {
  testing::ScriptedForm form;
  LockedUiThread ui;
  Program program{form, ui};
  Context context{program};
};

TEST_F(ProgressFixture, PercentFromWhatTheBarReportsAndNoDivisionByZero) {
  startAlbumProgress(context, "120");
  showPhotoProgress(context, "120", 35, ProgressStyle::countSlashPosition);
  EXPECT_EQ(form.textOf(Control::标签_进度条比例), "29%");
  EXPECT_EQ(form.textOf(Control::标签_第多少张照片), "120/35");

  startAlbumProgress(context, "0");
  showPhotoProgress(context, "0", 3, ProgressStyle::countSlashPosition);
  EXPECT_EQ(form.textOf(Control::标签_进度条比例), "0%");
  EXPECT_EQ(form.textOf(Control::标签_第多少张照片), "0/0") << "the position the bar took";

  startAlbumProgress(context, "1000");
  showPhotoProgress(context, "1000", 501, ProgressStyle::ordinalPicture);
  EXPECT_EQ(form.textOf(Control::标签_进度条比例), "50%");
  EXPECT_EQ(form.textOf(Control::标签_第多少张照片), "第[501]个图片");

  // As the album lists show it: 29 of 100 is 29%, where a double quotient truncates to 28.
  startAlbumProgress(context, "100");
  showPhotoProgress(context, "100", 29, ProgressStyle::countSlashPosition);
  EXPECT_EQ(form.textOf(Control::标签_进度条比例), "29%");
}

}  // namespace
}  // namespace fotolun
