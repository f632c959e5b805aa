#pragma once
// The picture the service's photo hosts hand out in place of a photo they will not give: a small
// grey 96 x 96 GIF of 755 bytes, served with HTTP 200 as if it were the photo.
#include <cstddef>
#include <string>

namespace fotolun::standin {

inline constexpr int kPlaceholderSide = 96;
inline constexpr std::size_t kPlaceholderBytes = 755;

// A real GIF89a (its header and image say 96 x 96), the same bytes every time.
const std::string& PlaceholderGif();

}  // namespace fotolun::standin
