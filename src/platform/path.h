#pragma once
// Paths are UTF-8 text above this layer. std::filesystem::path made from a std::string (and
// path::string()) goes through the C library's locale on Windows, the ANSI code page, which
// cannot spell most Chinese names; these conversions go through UTF-8 on every system.
#include <filesystem>
#include <string>
#include <string_view>

namespace fotolun::platform {

std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8OfPath(const std::filesystem::path& path);

// The path as the system's own calls and std::filesystem's operations are handed it, so that a
// save folder, album and file name may add up to more than 260 characters. On Windows an absolute
// path takes the \\?\ prefix, under which that limit does not apply (nor does any rewriting, so
// it is made canonical first); elsewhere it is the path itself. For the system only: a message
// names the path the user gave.
std::filesystem::path systemPath(const std::filesystem::path& path);
// The same for a UTF-8 text: never through path's own conversion from a narrow string.
inline std::filesystem::path systemPath(std::string_view utf8) { return systemPath(pathFromUtf8(utf8)); }
inline std::filesystem::path systemPath(const std::string& utf8) { return systemPath(pathFromUtf8(utf8)); }
inline std::filesystem::path systemPath(const char* utf8) { return systemPath(pathFromUtf8(utf8)); }

}  // namespace fotolun::platform
