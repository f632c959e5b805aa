#pragma once
// A file replaced whole or not at all: the bytes go to a temporary file beside it, are flushed,
// and take the name in one rename; the folder is flushed after, and a failed write leaves the old
// file and no temporary one.
#include <filesystem>
#include <string_view>

namespace fotolun {

bool replaceFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace fotolun
