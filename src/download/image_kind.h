#pragma once
// Whether bytes are a picture, told by their leading bytes as image viewers tell it: an error page
// served where a photo should be must never be saved as one.
#include <cstddef>
#include <optional>
#include <string_view>

namespace fotolun {

// The file extension of the picture format the bytes begin with (".jpg", ".png", ".gif",
// ".webp", ".bmp", ".heic"), none when they are no picture.
std::optional<std::string_view> imageExtension(std::string_view bytes);

// The same for a video: ".mp4" (ISO base media with a video brand), ".mov" (QuickTime), ".flv"
// or ".webm"; none for anything else, a picture or a streaming playlist included.
std::optional<std::string_view> videoExtension(std::string_view bytes);

// What a saved file must be: a picture, or for a video entry of a listing the video itself.
enum class MediaKind { picture, video };
// mediaExtension looks no further than this into the bytes: a body's first bytes decide.
inline constexpr std::size_t kMediaSignatureBytes = 12;
std::optional<std::string_view> mediaExtension(std::string_view bytes, MediaKind kind);

}  // namespace fotolun
