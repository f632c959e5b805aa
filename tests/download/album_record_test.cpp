// What a download keeps beside its photos: the album's record, merged over runs, and (when asked)
// the shooting date inside each photo.
#include "story/album_record.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <exiv2/exiv2.hpp>

#include "download_fixture.h"
#include "story/gallery.h"
#include "story/photo_time.h"

namespace fotolun::testing {
namespace {

class AlbumRecordRun : public DownloadFixture {
 protected:
  AlbumRecordRun() {
    standin::Standin::writeCertificateAuthority((programFolder.path() / "ca.pem").string());
    program.caFile = (programFolder.path() / "ca.pem").string();
  }
  const standin::PersonalAccount& account = standin.data().ordinaryAccount();
  const standin::PersonalAlbum& album(const std::string& name) {
    for (const auto& one : account.albums)
      if (one.name == name) return one;
    throw std::runtime_error("no sample album " + name);
  }
  void runAgain() {
    standin.server().clearRequests();
    run = std::make_unique<DownloadRun>(program);
    runToEnd();
  }
  AlbumRecord record(const std::string& folderName) {
    const auto read = readAlbumRecord(folder(account.qq, folderName));
    EXPECT_TRUE(read) << folderName;
    return read.value_or(AlbumRecord{});
  }
};

std::optional<std::time_t> listedShot(const standin::PersonalPhoto& photo) {
  if (auto shot = photoTime(photo.shootTimeJson, "")) return shot;
  if (!photo.exif) return std::nullopt;
  std::string dashed = photo.exif->originalTime;
  dashed[4] = dashed[7] = '-';
  return photoTime(dashed, "");
}

// Each entry tells its photo as the stand-in listed it, in the album's order, on both families.
TEST_F(AlbumRecordRun, TellsEveryListedPhotoOnBothFamilies) {
  for (const FamilyChoice family : {FamilyChoice::classic, FamilyChoice::current}) {
    program.chooseFamily(family);
    form.deleteAllRows();
    choosePersonal(account, true);
    const auto& edge = album("标题测试");
    addPersonalRow(edge, 1);
    runAgain();
    const std::string folderName = "标题测试" + std::to_string(edge.photos.size());
    const AlbumRecord saved = record(folderName);
    EXPECT_EQ(saved.name, "标题测试");
    EXPECT_EQ(saved.id, edge.id);
    ASSERT_EQ(saved.photos.size(), edge.photos.size()) << form.log();
    form.clearChanges();
    const auto files = filesIn(folder(account.qq, folderName));
    for (std::size_t i = 0; i < edge.photos.size(); ++i) {
      const standin::PersonalPhoto& listed = edge.photos[i];
      const RecordedPhoto& entry = saved.photos[i];
      EXPECT_EQ(entry.story.title, listed.title) << i;  // UTF-8 as listed, 😀 and all
      EXPECT_EQ(entry.story.description, listed.description) << i;
      EXPECT_EQ(entry.story.shot, listedShot(listed)) << i;
      EXPECT_EQ(entry.story.uploaded, photoTime("\"" + listed.uploadTime + "\"", "")) << i;
      EXPECT_EQ(entry.story.camera, listed.exif ? "Canon EOS 80D" : "") << i;
      EXPECT_EQ(entry.story.width, 560) << i << " as listed (the upload's, not the copy's)";
      EXPECT_EQ(entry.failed, "") << i;
      ASSERT_EQ(files.count(entry.file), 1u) << i << " " << entry.file;
      EXPECT_EQ(files.at(entry.file), standin.photoBytes(listed.url)) << i;
      EXPECT_FALSE(entry.id.empty()) << i;
    }
    EXPECT_TRUE(std::filesystem::exists(folder(account.qq, folderName) / "index.html"));
    EXPECT_TRUE(std::filesystem::exists(folder(account.qq, "") / "index.html"));
    std::filesystem::remove_all(folder(account.qq, ""));
  }
}

TEST_F(AlbumRecordRun, TellsAGroupsPhotosOnBothFamilies) {
  const standin::Group& group = standin.data().smallGroup();
  const standin::GroupAlbum& party = group.albums.front();
  for (const FamilyChoice family : {FamilyChoice::classic, FamilyChoice::current}) {
    program.chooseFamily(family);
    form.deleteAllRows();
    chooseGroup(group);
    addGroupRow(party, 1);
    runAgain();
    const auto read = readAlbumRecord(folder(group.number, "聚会2019" + std::to_string(party.photoCount())));
    ASSERT_TRUE(read) << form.log();
    ASSERT_EQ(read->photos.size(), party.photos.size());
    for (std::size_t i = 0; i < party.photos.size(); ++i) {
      EXPECT_EQ(read->photos[i].story.title, party.photos[i].name) << i;
      EXPECT_EQ(read->photos[i].story.description, party.photos[i].description) << i;
      EXPECT_EQ(read->photos[i].story.uploaded, party.photos[i].uploadTime) << i;
      EXPECT_EQ(read->photos[i].copy, "group") << i;
      EXPECT_FALSE(read->photos[i].file.empty()) << i;
    }
    std::filesystem::remove_all(folder(group.number, ""));
  }
}

// Photos saved by the first run keep their entries when the second skips them; a grown album
// gains the new photos, and one that fails says why.
TEST_F(AlbumRecordRun, MergesAcrossRunsAndAGrownAlbum) {
  choosePersonal(account, true);
  const auto& travel = album("旅行2019");
  addPersonalRow(travel, 1);
  runToEnd();
  const AlbumRecord first = record("旅行201912");
  ASSERT_EQ(first.photos.size(), 12u);

  ASSERT_TRUE(standin.growAlbum(account.qq, travel.id, 3));
  const std::string failing = standin.data().personalAlbum(account.qq, travel.id)->photos[13].url;
  standin.server().addFault(failing.substr(failing.find("/psb")),
                            standin::Fault{standin::FaultKind::HttpError, -1, {}, 404});
  form.deleteAllRows();
  addPersonalRow(travel, 1);
  runAgain();
  const AlbumRecord grown = record("旅行201915");
  ASSERT_EQ(grown.photos.size(), 15u);
  for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(grown.photos[i].file, first.photos[i].file) << i;
  EXPECT_EQ(grown.photos[12].story.title, "新照片0013");
  EXPECT_FALSE(grown.photos[12].file.empty());
  EXPECT_TRUE(grown.photos[13].file.empty());
  EXPECT_TRUE(grown.photos[13].failed.starts_with("图片下载失败：")) << grown.photos[13].failed;

  // The service stops listing a saved photo (the record's own entry stays) and the failed one
  // now comes.
  standin.server().clearFaults();
  runAgain();
  const AlbumRecord third = record("旅行201915");
  EXPECT_EQ(third.photos.size(), 15u);
  EXPECT_FALSE(third.photos[13].file.empty());
  EXPECT_EQ(third.photos[0].file, first.photos[0].file);
}

std::string dateInside(const std::string& bytes) {
  auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes.data()),
                                         static_cast<long>(bytes.size()));
  image->readMetadata();
  const auto found = image->exifData().findKey(Exiv2::ExifKey("Exif.Photo.DateTimeOriginal"));
  return found == image->exifData().end() ? "" : found->toString();
}

TEST_F(AlbumRecordRun, DatesGoInsideOnlyWhenAsked) {
  choosePersonal(account, true);
  const auto& travel = album("旅行2019");
  addPersonalRow(travel, 1);
  program.embedDates = true;
  runToEnd();
  const auto dir = folder(account.qq, "旅行201912");
  const AlbumRecord saved = record("旅行201912");
  ASSERT_EQ(saved.photos.size(), travel.photos.size());
  const auto files = filesIn(dir);
  for (std::size_t i = 0; i < travel.photos.size(); ++i) {
    const RecordedPhoto& entry = saved.photos[i];
    const std::time_t when = entry.story.shot ? *entry.story.shot : *entry.story.uploaded;
    const std::string iso = chinaIsoTime(when);
    std::string exif = iso.substr(0, 19);
    exif[4] = exif[7] = ':';
    exif[10] = ' ';
    ASSERT_EQ(files.count(entry.file), 1u);
    EXPECT_EQ(dateInside(files.at(entry.file)), exif) << i;
    EXPECT_NE(files.at(entry.file), standin.photoBytes(travel.photos[i].url)) << i;
    struct stat info {};
    ASSERT_EQ(stat((dir / entry.file).c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime,
              *photoTime(travel.photos[i].shootTimeJson, "\"" + travel.photos[i].uploadTime + "\""))
        << i;
  }
  EXPECT_EQ(form.log().find("拍摄时间没有写入照片"), std::string::npos) << form.log();
}

}  // namespace
}  // namespace fotolun::testing
