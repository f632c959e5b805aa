#include "download/image_size.h"

#include <cstdint>

namespace fotolun {
namespace {

unsigned byteAt(std::string_view bytes, std::size_t at) { return static_cast<unsigned char>(bytes[at]); }

unsigned littleEndian16(std::string_view bytes, std::size_t at) {
  return byteAt(bytes, at) | byteAt(bytes, at + 1) << 8;
}
unsigned littleEndian24(std::string_view bytes, std::size_t at) {
  return littleEndian16(bytes, at) | byteAt(bytes, at + 2) << 16;
}
std::uint32_t littleEndian32(std::string_view bytes, std::size_t at) {
  return littleEndian16(bytes, at) | static_cast<std::uint32_t>(littleEndian16(bytes, at + 2)) << 16;
}
unsigned bigEndian16(std::string_view bytes, std::size_t at) {
  return byteAt(bytes, at) << 8 | byteAt(bytes, at + 1);
}
std::uint32_t bigEndian32(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bigEndian16(bytes, at)) << 16 | bigEndian16(bytes, at + 2);
}

std::optional<ImageSize> sized(std::uint64_t width, std::uint64_t height) {
  constexpr std::uint64_t kLargest = 1u << 30;
  if (width == 0 || height == 0 || width > kLargest || height > kLargest) return std::nullopt;
  return ImageSize{static_cast<int>(width), static_cast<int>(height)};
}

// The frame header (SOF0..SOF15 but the DHT, JPG and DAC markers) follows any number of segments,
// each announcing its own length.
std::optional<ImageSize> jpegSize(std::string_view bytes) {
  std::size_t at = 2;
  while (at + 4 <= bytes.size()) {
    if (byteAt(bytes, at) != 0xFF) return std::nullopt;
    const unsigned marker = byteAt(bytes, at + 1);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;
      continue;
    }
    const unsigned length = bigEndian16(bytes, at + 2);
    if (length < 2) return std::nullopt;
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (at + 9 > bytes.size()) return std::nullopt;
      return sized(bigEndian16(bytes, at + 7), bigEndian16(bytes, at + 5));
    }
    if (marker == 0xDA || marker == 0xD9) return std::nullopt;  // image data before any frame
    at += 2 + length;
  }
  return std::nullopt;
}

std::optional<ImageSize> webpSize(std::string_view bytes) {
  if (bytes.size() < 30) return std::nullopt;
  const std::string_view chunk = bytes.substr(12, 4);
  if (chunk == "VP8 " && bytes.substr(23, 3) == "\x9D\x01\x2A")
    return sized(littleEndian16(bytes, 26) & 0x3FFF, littleEndian16(bytes, 28) & 0x3FFF);
  if (chunk == "VP8L" && byteAt(bytes, 20) == 0x2F) {
    const std::uint32_t bits = littleEndian32(bytes, 21);
    return sized((bits & 0x3FFF) + 1, ((bits >> 14) & 0x3FFF) + 1);
  }
  if (chunk == "VP8X") return sized(littleEndian24(bytes, 24) + 1, littleEndian24(bytes, 27) + 1);
  return std::nullopt;
}

}  // namespace

std::optional<ImageSize> imageSize(std::string_view head) {
  const auto startsWith = [&](std::string_view magic, std::size_t at = 0) {
    return head.size() >= at + magic.size() && head.substr(at, magic.size()) == magic;
  };
  if (startsWith("GIF87a") || startsWith("GIF89a")) {
    if (head.size() < 10) return std::nullopt;
    return sized(littleEndian16(head, 6), littleEndian16(head, 8));
  }
  if (startsWith("\x89PNG\r\n\x1A\n")) {
    if (head.size() < 24 || head.substr(12, 4) != "IHDR") return std::nullopt;
    return sized(bigEndian32(head, 16), bigEndian32(head, 20));
  }
  if (startsWith("\xFF\xD8\xFF")) return jpegSize(head);
  if (startsWith("RIFF") && startsWith("WEBP", 8)) return webpSize(head);
  if (startsWith("BM")) {
    if (head.size() < 26) return std::nullopt;
    // A height below zero is a picture stored top row first.
    const auto height = static_cast<std::int32_t>(littleEndian32(head, 22));
    return sized(littleEndian32(head, 18), height < 0 ? -static_cast<std::int64_t>(height) : height);
  }
  return std::nullopt;
}

bool looksLikePlaceholder(ImageSize picture, int listedWidth, int listedHeight) {
  if (listedWidth <= 0 || listedHeight <= 0) return false;
  if (picture.width > kLargestPlaceholderSide || picture.height > kLargestPlaceholderSide) return false;
  return static_cast<long long>(picture.width) * 4 <= listedWidth &&
         static_cast<long long>(picture.height) * 4 <= listedHeight;
}

}  // namespace fotolun
