// What a re-run relies on to resume: photo identities, photo times, the album folder's archive
// and finding the folder an album had under its older name.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "download/download_archive.h"
#include "platform/file.h"
#include "story/photo_identity.h"
#include "story/photo_time.h"
#include "support/standin_fixture.h"

namespace fotolun {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

void WriteFile(const fs::path& file, const std::string& bytes, std::ios::openmode mode = std::ios::trunc) {
  std::ofstream(file, std::ios::binary | mode) << bytes;
}

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(PhotoIdentity, ListingKeyFirstElseTheAddressPathWithoutHostQueryOrSizeMarker) {
  const std::string personal = R"("http:\/\/b1.photo.store.qq.com\/psb?\/V1abc\/KEY\/b\/&rf=viewer_4")";
  const struct {
    std::string_view lloc, sloc, address, key;
  } cases[] = {
      {R"("NDN0lloc")", R"("NDN0sloc")", personal, "NDN0lloc"},
      {"null", R"("NDN0sloc")", personal, "NDN0sloc"},
      {R"("")", R"("NDN0sloc")", personal, "NDN0sloc"},
      {"null", R"("")", personal, "/psb?/V1abc/KEY/b/"},
      {"null", "null", "http://a2.qpic.cn/psb?/V1abc/KEY/b/&rf=viewer_4", "/psb?/V1abc/KEY/b/"},
      {"null", "null", R"("http:\/\/a2.qpic.cn\/qun\/1\/V5x\/TOK\/200?w5=320&h5=240")", "/qun/1/V5x/TOK/"},
      {"null", "null", "http://b1.photo.store.qq.com/qun/1/V5x/TOK/800?w5=320&h5=240", "/qun/1/V5x/TOK/"},
      {"null", "null", "http://a2.qpic.cn/qun/1/V5x/TOK/orig.jpg?rf=x#top", "/qun/1/V5x/TOK/orig.jpg"},
      {"null", "null", "null", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(photoIdentity(CopyKind::group, c.lloc, c.sloc, c.address).key, c.key) << c.lloc << c.address;
  }
  EXPECT_NE(photoIdentity(CopyKind::hd, R"("k")", "null", "null"),
            photoIdentity(CopyKind::original, R"("k")", "null", "null"));
}

TEST(PhotoTime, ShootingTimeElseUploadTimeInChinaTimeOrUnixSeconds) {
  constexpr std::time_t kUpload = 1551405600;  // 2019-03-01 10:00:00 +08
  const std::string_view upload = R"("2019-03-01 10:00:00")";
  const struct {
    std::string_view shot, upload;
    std::optional<std::time_t> time;
  } cases[] = {
      {R"("2020-02-29 23:59:59")", upload, 1582991999},
      {"1582991999", upload, 1582991999},
      {R"("1582991999")", upload, 1582991999},
      {R"("")", upload, kUpload},
      {R"("0")", upload, kUpload},
      {"0", upload, kUpload},
      {"null", upload, kUpload},
      {R"("2019-02-29 10:00:00")", upload, kUpload},
      {R"("2019-13-01 10:00:00")", upload, kUpload},
      {R"("2019-01-01 24:00:00")", upload, kUpload},
      {R"("2019-1-01 10:00:00")", upload, kUpload},
      {R"("1970-01-01 08:00:00")", upload, kUpload},
      {R"("-5")", upload, kUpload},
      {R"("yesterday")", upload, kUpload},
      {R"("")", "1551405600", kUpload},
      {R"("")", R"("")", std::nullopt},
      {"null", "null", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(photoTime(c.shot, c.upload), c.time) << c.shot << " / " << c.upload;

  const TempFolder folder;
  const fs::path photo = folder.path() / "照片.jpg";
  WriteFile(photo, "\xFF\xD8 bytes");
  platform::File file = platform::openFile(photo, platform::Opening::read);
  ASSERT_TRUE(platform::setModifiedTime(file, kUpload));
  file.close();
  struct stat info {};
  ASSERT_EQ(::stat(photo.c_str(), &info), 0);
  EXPECT_EQ(info.st_mtime, kUpload);
  EXPECT_EQ(ReadFile(photo), "\xFF\xD8 bytes");
  platform::File none;
  EXPECT_FALSE(platform::setModifiedTime(none, kUpload));
}

TEST(DownloadArchive, RecordsSurviveReopeningTornLinesAndOddBytes) {
  const TempFolder temp;
  const fs::path folder = temp.path();
  const fs::path file = folder / kArchiveFileName;
  const PhotoIdentity hd{CopyKind::hd, "NDN0a"}, original{CopyKind::original, "NDN0a"};
  const PhotoIdentity odd{CopyKind::group, "/qun/1/\ttab\\/"}, torn{CopyKind::hd, "torn"};
  for (const char* name : {"a.jpg", "a2.jpg", "b.jpg", "c\nd.jpg", "z.jpg", "e.jpg"})
    WriteFile(folder / name, "x");

  auto archive = DownloadArchive::open(folder, "V1abc");
  ASSERT_TRUE(archive);
  EXPECT_EQ(DownloadArchive::albumIdOf(folder), "V1abc");
  EXPECT_FALSE(DownloadArchive::open(folder, "V1other"));  // never another album's folder
  EXPECT_TRUE(archive->record(hd, "a.jpg"));
  EXPECT_TRUE(archive->record(original, "b.jpg"));
  EXPECT_TRUE(archive->record(odd, "c\nd.jpg"));
  EXPECT_TRUE(archive->record(hd, "a2.jpg"));  // the later record wins
  EXPECT_FALSE(archive->record({CopyKind::hd, ""}, "e.jpg"));
  EXPECT_FALSE(archive->record(torn, "../e.jpg"));
  EXPECT_EQ(archive->savedFile(original), "b.jpg");

  // A crash mid-line, then a record appended in the same run and one after reopening.
  WriteFile(file, "bogus\tk\tz.jpg\nhd\tbad\\escape\tz.jpg\nhd\ttorn\tz.jpg", std::ios::app);
  EXPECT_TRUE(archive->record({CopyKind::hd, "after"}, "e.jpg"));
  WriteFile(file, "hd\ttorn\tz.jpg", std::ios::app);
  auto reopened = DownloadArchive::open(folder, "V1abc");
  ASSERT_TRUE(reopened);
  EXPECT_TRUE(reopened->record({CopyKind::original, "after"}, "e.jpg"));
  reopened = DownloadArchive::open(folder, "V1abc");
  ASSERT_TRUE(reopened);
  EXPECT_EQ(reopened->savedFile(hd), "a2.jpg");
  EXPECT_EQ(reopened->savedFile(original), "b.jpg");
  EXPECT_EQ(reopened->savedFile(odd), "c\nd.jpg");
  EXPECT_EQ(reopened->savedFile({CopyKind::hd, "after"}), "e.jpg");
  EXPECT_EQ(reopened->savedFile({CopyKind::original, "after"}), "e.jpg");
  EXPECT_EQ(reopened->savedFile(torn), std::nullopt);
  EXPECT_EQ(reopened->savedFile({CopyKind::group, "NDN0a"}), std::nullopt);
  EXPECT_EQ(ReadFile(file).back(), '\n');

  fs::remove(folder / "b.jpg");  // deleted by the user: fetched again
  EXPECT_EQ(reopened->savedFile(original), std::nullopt);

  // The record deleted by the user while the run keeps it open starts again with its header, and
  // a record let go of at the end of an album opens again.
  fs::remove(file);
  EXPECT_TRUE(reopened->record(hd, "z.jpg"));
  reopened->closeFile();
  EXPECT_TRUE(reopened->record(original, "e.jpg"));
  EXPECT_EQ(ReadFile(file), "album\tV1abc\nhd\tNDN0a\tz.jpg\noriginal\tNDN0a\te.jpg\n");
}

TEST(DownloadArchive, AnEarlierFolderOfTheSameAlbumIsFoundAndMovedNeverAnotherAlbums) {
  const TempFolder temp;
  const fs::path number = temp.path();
  for (const auto& [name, id] : {std::pair<std::string, std::string>{"旅行58", "V1a"}, {"旅行12", "V1b"}}) {
    fs::create_directory(number / name);
    ASSERT_TRUE(DownloadArchive::open(number / name, id));
  }
  fs::create_directory(number / "没有档案60");
  WriteFile(number / "旅行61", "a file");

  EXPECT_EQ(findEarlierAlbumFolder(number, "V1a", "旅行60"), number / "旅行58");
  EXPECT_EQ(findEarlierAlbumFolder(number, "V1c", "旅行60"), std::nullopt);
  EXPECT_EQ(findEarlierAlbumFolder(number, "V1a", "旅行58"), std::nullopt);
  EXPECT_EQ(findEarlierAlbumFolder(number, "V1a", "旅行12"), std::nullopt);
  EXPECT_EQ(moveEarlierAlbumFolder(number, "V1a", "旅行61"), std::nullopt);
  EXPECT_EQ(moveEarlierAlbumFolder(number, "V1a", "没有档案60"), std::nullopt);

  EXPECT_EQ(moveEarlierAlbumFolder(number, "V1a", "旅行60"), number / "旅行60");
  EXPECT_EQ(DownloadArchive::albumIdOf(number / "旅行60"), "V1a");
  EXPECT_FALSE(fs::exists(number / "旅行58"));
  EXPECT_EQ(DownloadArchive::albumIdOf(number / "旅行12"), "V1b");
}

}  // namespace
}  // namespace fotolun
