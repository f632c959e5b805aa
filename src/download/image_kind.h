#pragma once
// Whether bytes are a picture, told by their leading bytes as image viewers tell it: an error page
// served where a photo should be must never be saved as one.
#include <optional>
#include <string_view>

namespace fotolun {

// The file extension of the picture format the bytes begin with (".jpg", ".png", ".gif",
// ".webp", ".bmp", ".heic"), none when they are no picture.
std::optional<std::string_view> imageExtension(std::string_view bytes);

}  // namespace fotolun
