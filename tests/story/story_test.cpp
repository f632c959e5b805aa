// The pieces that keep a photo's story: the three escapes of the offline page, the album record's
// merge over runs, and the dates written inside a photo.
#include <gtest/gtest.h>

#include <exiv2/exiv2.hpp>
#include <fstream>

#include "standin/picture_bytes.h"
#include "story/album_record.h"
#include "story/embedded_dates.h"
#include "story/html_text.h"
#include "support/standin_fixture.h"

namespace fotolun::testing {
namespace {

TEST(OfflinePage, HostileTextStaysText) {
  struct Case {
    std::string in, text, attribute, link;
  };
  const Case cases[] = {
      {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;",
       "&lt;script&gt;alert(1)&lt;/script&gt;", "%3Cscript%3Ealert%281%29%3C/script%3E"},
      {"\"><img src=x onerror=alert(1)>", "&quot;&gt;&lt;img src=x onerror=alert(1)&gt;",
       "&quot;&gt;&lt;img src=x onerror=alert(1)&gt;", "%22%3E%3Cimg%20src%3Dx%20onerror%3Dalert%281%29%3E"},
      {"it's &amp; 'q'", "it&#39;s &amp;amp; &#39;q&#39;", "it&#39;s &amp;amp; &#39;q&#39;",
       "it%27s%20%26amp%3B%20%27q%27"},
      {"两行\r\n说明", "两行\n说明", "两行&#13;&#10;说明", "%E4%B8%A4%E8%A1%8C%0D%0A%E8%AF%B4%E6%98%8E"},
      {"javascript:alert(1)", "javascript:alert(1)", "javascript:alert(1)", "javascript%3Aalert%281%29"},
      {"a?b#c%d e.jpg", "a?b#c%d e.jpg", "a?b#c%d e.jpg", "a%3Fb%23c%25d%20e.jpg"},
      {std::string("nul\0byte", 8), "nulbyte", "nulbyte", "nul%00byte"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(htmlText(c.in), c.text) << c.in;
    EXPECT_EQ(htmlAttribute(c.in), c.attribute) << c.in;
    EXPECT_EQ(linkToFile(c.in), c.link) << c.in;
  }
  EXPECT_EQ(linkToFile("相册/照片_1.jpg"), "%E7%9B%B8%E5%86%8C/%E7%85%A7%E7%89%87_1.jpg");
}

RecordedPhoto entry(const std::string& id, const std::string& file, const std::string& failed = "") {
  RecordedPhoto photo{id, "hd", file, failed, {}};
  photo.story.title = "title " + id;
  return photo;
}

std::vector<std::string> filesOf(const AlbumRecord& record) {
  std::vector<std::string> files;
  for (const RecordedPhoto& photo : record.photos)
    files.push_back(photo.id + "=" + photo.file + photo.failed);
  return files;
}

TEST(AlbumRecord, MergeKeepsEveryPhotoAnyRunSaved) {
  struct Case {
    const char* what;
    std::vector<RecordedPhoto> earlier, now;
    std::vector<std::string> merged;
  };
  const Case cases[] = {
      {"a grown album gains the new photos after the old ones",
       {entry("a", "a.jpg"), entry("b", "b.jpg")},
       {entry("a", "a.jpg"), entry("b", "b.jpg"), entry("c", "c.jpg")},
       {"a=a.jpg", "b=b.jpg", "c=c.jpg"}},
      {"a photo saved before and failing now keeps its file",
       {entry("a", "a.jpg")},
       {entry("a", "", "图片下载失败：超时")},
       {"a=a.jpg"}},
      {"a photo no longer listed keeps its entry; an unsaved one goes",
       {entry("a", "a.jpg"), entry("b", "", "failed"), entry("c", "c.jpg")},
       {entry("c", "c2.jpg")},
       {"c=c2.jpg", "a=a.jpg"}},
      {"a failure once saved later is saved", {entry("a", "", "failed")}, {entry("a", "a.jpg")}, {"a=a.jpg"}},
      {"keyless photos are told apart by their files",
       {entry("", "x.jpg"), entry("", "y.jpg")},
       {entry("", "x.jpg")},
       {"=x.jpg", "=y.jpg"}},
  };
  for (const Case& c : cases) {
    AlbumRecord earlier{"V1", "旧名", {"旧说明", 1000, std::nullopt}, c.earlier};
    AlbumRecord now{"V1", "新名", {"", std::nullopt, 2000}, c.now};
    const AlbumRecord merged = mergeAlbumRecords(earlier, now);
    EXPECT_EQ(filesOf(merged), c.merged) << c.what;
    EXPECT_EQ(merged.name, "新名");
    EXPECT_EQ(merged.story.description, "旧说明");
    EXPECT_EQ(merged.story.created, 1000);
    EXPECT_EQ(merged.story.modified, 2000);
  }
}

TEST(AlbumRecord, ReadsBackWhatItWroteInUtf8) {
  TempFolder folder;
  AlbumRecord record{"V1abc", "生日🎂快乐", {"\"><b>说明</b>", 1546300800, std::nullopt}, {}};
  RecordedPhoto photo = entry("NDN0key", "照片_1_7.jpg");
  photo.story = {"😀笑脸", "第一行\n第二行", 1546272000, 1546300800, 160, 120, "Canon EOS 80D", false};
  record.photos = {photo, entry("vid", "", "视频无法下载：只有在线播放列表")};
  record.photos[1].story.video = true;
  ASSERT_TRUE(writeAlbumRecord(folder.path(), record));

  std::ifstream in(folder.path() / "album.json", std::ios::binary);
  const std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const char* text :
       {"\"name\": \"生日🎂快乐\"", "\"title\": \"😀笑脸\"", "\"shot\": \"2019-01-01T00:00:00+08:00\"",
        "\"uploaded\": \"2019-01-01T08:00:00+08:00\"", "\"kind\": \"video\"", "\"width\": 160"})
    EXPECT_NE(json.find(text), std::string::npos) << text << "\n" << json;

  const auto back = readAlbumRecord(folder.path());
  ASSERT_TRUE(back);
  EXPECT_EQ(albumRecordJson(*back), json);
  // Damaged or foreign, it is no record: the next run starts one afresh.
  std::ofstream(folder.path() / "album.json") << "{\"format\": 1, \"album\": [";
  EXPECT_FALSE(readAlbumRecord(folder.path()));
}

// A tag of a photo's bytes as the library reads it back, "" without it.
std::string tagOf(const std::string& photo, const std::string& key) {
  try {
    auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(photo.data()),
                                           static_cast<long>(photo.size()));
    image->readMetadata();
    if (key.starts_with("Xmp.")) {
      const auto found = image->xmpData().findKey(Exiv2::XmpKey(key));
      return found == image->xmpData().end() ? "" : found->toString();
    }
    const auto found = image->exifData().findKey(Exiv2::ExifKey(key));
    return found == image->exifData().end() ? "" : found->toString();
  } catch (const std::exception&) {
    return "";
  }
}
std::string dateTimeOriginalOf(const std::string& photo) {
  return tagOf(photo, "Exif.Photo.DateTimeOriginal");
}

TEST(EmbeddedDates, UndatedPhotosGetTheirDateAndDatedOnesStayAsTheyAre) {
  const std::string jpeg = standin::MakeJpeg("k", 1, 64, 48);
  const std::string png = standin::MakePng("k", 8, 8);
  const DatesToEmbed dates{1546272000, "海边 \"日落\""};  // 2019-01-01 00:00 China time

  const EmbedOutcome jpegDated = embedDates(jpeg, dates);
  ASSERT_EQ(jpegDated.kind, EmbedOutcome::written) << jpegDated.why;
  EXPECT_EQ(dateTimeOriginalOf(jpegDated.bytes), "2019:01:01 00:00:00");
  EXPECT_EQ(tagOf(jpegDated.bytes, "Exif.Photo.DateTimeDigitized"), "2019:01:01 00:00:00");
  EXPECT_EQ(tagOf(jpegDated.bytes, "Exif.Photo.OffsetTimeOriginal"), "+08:00");
  EXPECT_EQ(tagOf(jpegDated.bytes, "Exif.Image.ImageDescription"), dates.description);
  EXPECT_EQ(tagOf(jpegDated.bytes, "Xmp.dc.description"), "lang=\"x-default\" " + dates.description);
  EXPECT_EQ(dateTimeOriginalOf(jpeg), "");
  // Already dated: left alone, whatever time is offered.
  EXPECT_EQ(embedDates(jpegDated.bytes, {0, ""}).kind, EmbedOutcome::alreadyDated);

  const EmbedOutcome pngDated = embedDates(png, dates);
  ASSERT_EQ(pngDated.kind, EmbedOutcome::written) << pngDated.why;
  EXPECT_EQ(dateTimeOriginalOf(pngDated.bytes), "2019:01:01 00:00:00");

  for (const std::string& other :
       {std::string("GIF89a\x01\x00\x01\x00", 10), std::string("<html>no picture")})
    EXPECT_EQ(embedDates(other, dates).kind, EmbedOutcome::notWritable);
  // A JPEG cut short is the library's to refuse; the photo stays as served.
  EXPECT_NE(embedDates(jpeg.substr(0, 40), dates).kind, EmbedOutcome::written);
}

}  // namespace
}  // namespace fotolun::testing
