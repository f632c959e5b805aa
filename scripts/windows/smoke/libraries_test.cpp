// Each library that Fotolun links, used once the way Fotolun uses it, from a Windows program: the
// static link lines of the prefix's pkg-config files are whole, and each library works under Wine.
#include <curl/curl.h>
#include <gmock/gmock.h>
#include <json-c/json.h>
#include <png.h>
#include <qrencode.h>
#include <sqlite3.h>
#include <zbar.h>

#include <exiv2/exiv2.hpp>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "tiny_jpeg.h"

namespace {

using testing::HasSubstr;
namespace fs = std::filesystem;

// A folder of its own under the temporary folder, named in Chinese, as users' folders are.
class TempFolder {
 public:
  TempFolder() : path_(fs::temp_directory_path() / fs::u8path("fotolun-冒烟")) {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() { fs::remove_all(path_); }
  fs::path operator/(const char* name) const { return path_ / fs::u8path(name); }

 private:
  fs::path path_;
};

TEST(WindowsLibraries, CurlSpeaksHttpsThroughSchannelAndNothingElse) {
  const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
  EXPECT_THAT(info->ssl_version, HasSubstr("Schannel"));
  EXPECT_NE(info->features & CURL_VERSION_SSL, 0);
  EXPECT_NE(info->features & CURL_VERSION_UNICODE, 0);
  EXPECT_NE(info->features & CURL_VERSION_LIBZ, 0);
  std::vector<std::string> protocols;
  for (const char* const* p = info->protocols; *p != nullptr; ++p) protocols.emplace_back(*p);
  EXPECT_THAT(protocols, testing::UnorderedElementsAre("http", "https"));

  CURL* curl = curl_easy_init();
  ASSERT_NE(curl, nullptr);
  EXPECT_EQ(curl_easy_setopt(curl, CURLOPT_COOKIEFILE, ""), CURLE_OK);
  EXPECT_EQ(curl_easy_setopt(curl, CURLOPT_PROXY, "http://127.0.0.1:9"), CURLE_OK);
  // No certificate file of the build host baked in: Schannel asks Windows' own store.
  char* bundle = nullptr;
  EXPECT_EQ(curl_easy_getinfo(curl, CURLINFO_CAINFO, &bundle), CURLE_OK);
  EXPECT_EQ(bundle, nullptr);
  curl_easy_cleanup(curl);
}

TEST(WindowsLibraries, Pcre2MatchesUtf8WithJit) {
  int error = 0;
  PCRE2_SIZE offset = 0;
  std::unique_ptr<pcre2_code, decltype(&pcre2_code_free)> code(
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>("(\\d{4})\\s*年"), PCRE2_ZERO_TERMINATED,
                    PCRE2_UTF | PCRE2_UCP, &error, &offset, nullptr),
      pcre2_code_free);
  ASSERT_NE(code, nullptr);
  EXPECT_EQ(pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE), 0);
  std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> match(
      pcre2_match_data_create_from_pattern(code.get(), nullptr), pcre2_match_data_free);
  const std::string subject = "相册 2024 年";
  ASSERT_EQ(pcre2_match(code.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0, 0,
                        match.get(), nullptr),
            2);
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(match.get());
  EXPECT_EQ(subject.substr(ovector[2], ovector[3] - ovector[2]), "2024");
}

TEST(WindowsLibraries, JsonCParsesUtf8) {
  json_object* root = json_tokener_parse(R"({"name":"相册","items":[1,2,{"n":3}]})");
  ASSERT_NE(root, nullptr);
  json_object* name = nullptr;
  json_object* items = nullptr;
  ASSERT_TRUE(json_object_object_get_ex(root, "name", &name));
  ASSERT_TRUE(json_object_object_get_ex(root, "items", &items));
  EXPECT_STREQ(json_object_get_string(name), "相册");
  EXPECT_EQ(json_object_array_length(items), 3u);
  json_object_put(root);
}

TEST(WindowsLibraries, Sqlite3OpensAFileByItsUtf8Name) {
  TempFolder folder;
  const fs::path file = folder / "饼干.sqlite";
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(reinterpret_cast<const char*>(file.u8string().c_str()), &db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
            SQLITE_OK);
  ASSERT_EQ(
      sqlite3_exec(db, "CREATE TABLE c(name TEXT); INSERT INTO c VALUES('会话');", nullptr, nullptr, nullptr),
      SQLITE_OK);
  sqlite3_stmt* row = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT name FROM c", -1, &row, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(row), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(row, 0)), "会话");
  sqlite3_finalize(row);
  sqlite3_close(db);
  EXPECT_TRUE(fs::exists(file));
}

TEST(WindowsLibraries, Exiv2WritesAndReadsExifAndXmpThroughAWidePath) {
  TempFolder folder;
  const fs::path file = folder / "照片.jpg";
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(kTinyJpeg.data()), static_cast<std::streamsize>(kTinyJpeg.size()));
  {
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(file.wstring());
    image->readMetadata();
    Exiv2::ExifData exif;
    exif["Exif.Photo.DateTimeOriginal"] = "2024:05:06 07:08:09";
    image->setExifData(exif);
    Exiv2::XmpData xmp;
    xmp["Xmp.dc.title"] = "lang=x-default 海边";
    image->setXmpData(xmp);
    image->writeMetadata();
  }
  Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(file.wstring());
  image->readMetadata();
  EXPECT_EQ(image->exifData()["Exif.Photo.DateTimeOriginal"].toString(), "2024:05:06 07:08:09");
  EXPECT_THAT(image->xmpData()["Xmp.dc.title"].toString(), HasSubstr("海边"));
}

// A QR code as the stand-in draws it (libqrencode, then libpng) and as fotolun-cli reads it back
// (libpng, then zbar, whose text decoder goes through the iconv shim).
std::vector<unsigned char> qrAsPng(const std::string& text, QRencodeMode mode) {
  std::unique_ptr<QRcode, decltype(&QRcode_free)> qr(
      QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_M, mode, 1), QRcode_free);
  if (!qr) return {};
  const int scale = 4, margin = 4, side = (qr->width + 2 * margin) * scale;
  std::vector<png_byte> pixels(static_cast<size_t>(side) * side, 255);
  for (int y = 0; y < qr->width; ++y) {
    for (int x = 0; x < qr->width; ++x) {
      if ((qr->data[y * qr->width + x] & 1) == 0) continue;
      for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx)
          pixels[((y + margin) * scale + dy) * side + (x + margin) * scale + dx] = 0;
      }
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = image.height = static_cast<png_uint_32>(side);
  image.format = PNG_FORMAT_GRAY;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) return {};
  std::vector<unsigned char> png(size);
  if (!png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr)) return {};
  return png;
}

std::string scanPng(const std::vector<unsigned char>& png) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return "unreadable png";
  image.format = PNG_FORMAT_GRAY;
  std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return "unreadable png";

  using namespace zbar;
  zbar_image_scanner_t* scanner = zbar_image_scanner_create();
  zbar_image_scanner_set_config(scanner, ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
  zbar_image_t* frame = zbar_image_create();
  zbar_image_set_format(frame, zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(frame, image.width, image.height);
  zbar_image_set_data(frame, pixels.data(), pixels.size(), nullptr);
  std::string text = "no symbol";
  if (zbar_scan_image(scanner, frame) > 0) {
    text = zbar_symbol_get_data(zbar_image_first_symbol(frame));
  }
  zbar_image_destroy(frame);
  zbar_image_scanner_destroy(scanner);
  return text;
}

struct QrCase {
  const char* name;
  std::string text;  // in the mode's own encoding: UTF-8 for bytes, Shift JIS for kanji
  QRencodeMode mode;
  std::string read;  // always UTF-8
};

class QrRoundTrip : public testing::TestWithParam<QrCase> {};

TEST_P(QrRoundTrip, ReadsBackWhatWasDrawn) {
  const std::vector<unsigned char> png = qrAsPng(GetParam().text, GetParam().mode);
  ASSERT_FALSE(png.empty());
  EXPECT_EQ(scanPng(png), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(Modes, QrRoundTrip,
                         testing::Values(QrCase{"Ascii", "https://127.0.0.1/qr?code=AB12", QR_MODE_8,
                                                "https://127.0.0.1/qr?code=AB12"},
                                         QrCase{"Utf8Bytes", "扫码登录 fotolun", QR_MODE_8,
                                                "扫码登录 fotolun"},
                                         QrCase{"Kanji", "\x8A\xBF\x8E\x9A", QR_MODE_KANJI, "漢字"}),
                         [](const testing::TestParamInfo<QrCase>& info) { return info.param.name; });

}  // namespace
