#pragma once
// The pixel size a picture's own header states, read from its first bytes: enough to tell the
// service's small placeholder image from the photo a listing promised.
#include <cstddef>
#include <optional>
#include <string_view>

namespace fotolun {

struct ImageSize {
  int width = 0;
  int height = 0;
};

// How far into a picture its size is looked for. A JPEG states it after its metadata, which the
// service's placeholders never carry; a size not found this far in is unknown.
inline constexpr std::size_t kImageSizeHeadBytes = 64 * 1024;

// The size of a GIF, PNG, JPEG, WebP or BMP whose header lies within head; none for anything else
// or a header cut short.
std::optional<ImageSize> imageSize(std::string_view head);

// Whether a picture of that size is the service's stand-in for the photo listed at
// listedWidth × listedHeight: a quarter of the listed size or less on both sides, and no larger
// than a placeholder is. A listing that gives no size never makes a picture a placeholder.
bool looksLikePlaceholder(ImageSize picture, int listedWidth, int listedHeight);
// The service's placeholders are small (96 × 96); the copy it serves of a large upload may well be
// a quarter of the listed size, but is never this small.
inline constexpr int kLargestPlaceholderSide = 200;

}  // namespace fotolun
