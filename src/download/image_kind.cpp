#include "download/image_kind.h"

#include <array>

namespace fotolun {

namespace {

bool startsWith(std::string_view bytes, std::string_view magic, std::size_t at = 0) {
  return bytes.size() >= at + magic.size() && bytes.substr(at, magic.size()) == magic;
}

}  // namespace

std::optional<std::string_view> imageExtension(std::string_view bytes) {
  const auto startsWith = [&](std::string_view magic, std::size_t at = 0) {
    return fotolun::startsWith(bytes, magic, at);
  };
  if (startsWith("\xFF\xD8\xFF")) return ".jpg";
  if (startsWith("\x89PNG\r\n\x1A\n")) return ".png";
  if (startsWith("GIF87a") || startsWith("GIF89a")) return ".gif";
  if (startsWith("RIFF") && startsWith("WEBP", 8)) return ".webp";
  // "BM", then the file size and two reserved zero words: two letters alone are too common.
  if (startsWith("BM") && bytes.size() >= 10 && bytes[6] == 0 && bytes[7] == 0 && bytes[8] == 0 &&
      bytes[9] == 0)
    return ".bmp";
  // An ISO base media file whose brand is one of the HEIF image brands.
  if (startsWith("ftyp", 4)) {
    static constexpr std::array<std::string_view, 8> kBrands = {"heic", "heix", "heim", "heis",
                                                                "hevc", "hevx", "mif1", "msf1"};
    for (std::string_view brand : kBrands)
      if (startsWith(brand, 8)) return ".heic";
  }
  return std::nullopt;
}

std::optional<std::string_view> videoExtension(std::string_view bytes) {
  if (startsWith(bytes, "ftyp", 4)) {
    if (startsWith(bytes, "qt  ", 8)) return ".mov";
    // Any other brand but the HEIF image ones: isom, mp41, mp42, avc1, iso2..iso6, dash, M4V ...
    if (!imageExtension(bytes)) return ".mp4";
    return std::nullopt;
  }
  if (startsWith(bytes, "FLV\x01")) return ".flv";
  if (startsWith(bytes, "\x1A\x45\xDF\xA3")) return ".webm";
  return std::nullopt;
}

std::optional<std::string_view> mediaExtension(std::string_view bytes, MediaKind kind) {
  return kind == MediaKind::video ? videoExtension(bytes) : imageExtension(bytes);
}

}  // namespace fotolun
