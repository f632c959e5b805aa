#include "platform/path.h"

namespace fotolun::platform {

std::filesystem::path pathFromUtf8(std::string_view utf8) { return std::filesystem::path(utf8); }

std::string utf8OfPath(const std::filesystem::path& path) { return path.string(); }

std::filesystem::path systemPath(const std::filesystem::path& path) { return path; }

}  // namespace fotolun::platform
