// The photo hosts' bytes: real pictures, the same every time, different for every address.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <set>

#include "standin/standin.h"

namespace fotolun::standin {
namespace {

struct JpegSize {
  int width = 0;
  int height = 0;
};

// Decodes the whole picture, so that a truncated or malformed file fails here.
JpegSize DecodeJpeg(const std::string& bytes) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_read_header(&info, TRUE);
  jpeg_start_decompress(&info);
  std::vector<JSAMPLE> row(info.output_width * info.output_components);
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
  }
  const JpegSize size{static_cast<int>(info.output_width), static_cast<int>(info.output_height)};
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return size;
}

// Every address a few albums give: HD and full size, covers, small and large group photos.
std::set<std::string> SomePhotoUrls(const SampleData& data) {
  std::set<std::string> urls;
  for (const PersonalAlbum& album : data.ordinaryAccount().albums) {
    if (album.photoCount() > 20) continue;
    urls.insert(album.coverUrl);
    for (const PersonalPhoto& photo : album.photos) {
      urls.insert(photo.url);
      if (photo.raw == RawAddress::Given) urls.insert(photo.rawUrl);
    }
  }
  for (const GroupAlbum& album : data.smallGroup().albums) {
    if (album.photoCount() > 20) continue;
    for (const GroupPhoto& photo : album.photos) {
      urls.insert(photo.burl);
      if (const std::size_t at = photo.burl.find("200?w5"); at != std::string::npos) {
        urls.insert(std::string(photo.burl).replace(at, 6, "800?w5"));
      }
    }
  }
  return urls;
}

TEST(Pictures, EveryAddressServesItsOwnDecodableJpegAndTheSameBytesForTheSameSeed) {
  const Standin first(1), again(1), other(2);
  const std::set<std::string> urls = SomePhotoUrls(first.data());
  std::set<std::string> distinct;
  std::set<std::string> hosts;
  for (const std::string& url : urls) {
    const std::string bytes = first.photoBytes(url);
    ASSERT_FALSE(bytes.empty()) << url;
    EXPECT_EQ(again.photoBytes(url), bytes) << url;
    distinct.insert(bytes);
    hosts.insert(url.substr(7, url.find('/', 7) - 7));
    if (bytes.compare(0, 4, "\x89PNG") == 0) continue;
    const PictureSource* source = first.data().pictureAt(url);
    const JpegSize size = DecodeJpeg(bytes);
    EXPECT_EQ(size.width, source->width);
    EXPECT_EQ(size.height, source->height);
  }
  EXPECT_EQ(distinct.size(), urls.size());
  EXPECT_TRUE(hosts.count("photos.example-cdn.net") && hosts.count("a2.qpic.cn") &&
              hosts.count("b1.photo.store.qq.com"));
  // Another seed makes other addresses, so nothing of the first one is there.
  EXPECT_EQ(other.photoBytes(*urls.rbegin()), "");
}

TEST(Pictures, PlaceholdersArePngAndUnknownAddressesServeNothing) {
  const Standin standin;
  for (const std::string& url : {standin.data().needPassCoverUrl(), standin.data().noPhotoCoverUrl()}) {
    const std::string bytes = standin.photoBytes(url);
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n") << url;
  }
  const std::string url = standin.data().ordinaryAccount().albums[0].photos[0].url;
  EXPECT_EQ(standin.photoBytes(url + "x"), "");
  // The same path on another host is another address.
  EXPECT_EQ(standin.photoBytes("http://elsewhere.example" + url.substr(url.find('/', 7))), "");

  const StandinOptions moved{.seed = 1, .staticImageHost = "img.test"};
  EXPECT_EQ(Standin(moved).data().needPassCoverUrl(), "http://img.test/ac/qzone_v5/photo/need_pass.png");
}

// The benchmark's album sits in its own account beside the samples, every photo padded to size.
TEST(Pictures, TheBenchAlbumHasAnAccountOfItsOwnWithEveryPhotoAtTheAskedSize) {
  EXPECT_EQ(Standin().data().benchAccount(), nullptr);
  const Standin standin(StandinOptions{.bench = {.photos = 3, .photoBytes = 50000}});
  const PersonalAccount* bench = standin.data().benchAccount();
  ASSERT_NE(bench, nullptr);
  EXPECT_EQ(bench->qq, SampleData::kBenchAccountQq);
  ASSERT_EQ(bench->albums.size(), 1u);
  ASSERT_EQ(bench->albums[0].photos.size(), 3u);
  for (const PersonalPhoto& photo : bench->albums[0].photos) {
    EXPECT_EQ(standin.photoBytes(photo.url).size(), 50000u) << photo.url;
  }
  EXPECT_NE(standin.data().videoAccount().qq, bench->qq);
}

}  // namespace
}  // namespace fotolun::standin
