#include "albums/cover_placeholders.h"

#include <gtest/gtest.h>

namespace fotolun {
namespace {

int bigEndian16(const ByteBuffer& bytes, std::size_t at) {
  return (static_cast<unsigned char>(bytes[at]) << 8) | static_cast<unsigned char>(bytes[at + 1]);
}

// Width and height from the JPEG's start-of-frame segment; 0 × 0 when there is none.
std::pair<int, int> jpegSize(const ByteBuffer& jpeg) {
  std::size_t at = 2;
  while (at + 9 < jpeg.size() && static_cast<unsigned char>(jpeg[at]) == 0xFF) {
    const unsigned char marker = static_cast<unsigned char>(jpeg[at + 1]);
    if (marker >= 0xC0 && marker <= 0xC2) return {bigEndian16(jpeg, at + 7), bigEndian16(jpeg, at + 5)};
    at += 2 + static_cast<std::size_t>(bigEndian16(jpeg, at + 2));
  }
  return {0, 0};
}

TEST(CoverPlaceholders, AreHundredPixelSquaresOfTheirFormats) {
  const ByteBuffer jpeg = needPassCover();
  ASSERT_GT(jpeg.size(), 4u);
  EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
  EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
  EXPECT_EQ(jpegSize(jpeg), std::make_pair(100, 100));

  const ByteBuffer gif = noPhotoCover();
  ASSERT_GT(gif.size(), 13u);
  EXPECT_EQ(gif.substr(0, 6), "GIF89a");
  EXPECT_EQ(static_cast<unsigned char>(gif[6]) | static_cast<unsigned char>(gif[7]) << 8, 100);
  EXPECT_EQ(static_cast<unsigned char>(gif[8]) | static_cast<unsigned char>(gif[9]) << 8, 100);
  EXPECT_EQ(gif.back(), ';');
}

}  // namespace
}  // namespace fotolun
