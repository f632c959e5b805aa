#pragma once
// The folders the system names for the user, and whether one may be written to. The choice of
// folders itself is program/program_folders.h; this is what it asks the system. Paths are UTF-8.
#include <optional>
#include <string>

namespace fotolun::platform {

enum class KnownFolder {
  pictures,        // Windows: FOLDERID_Pictures
  roamingAppData,  // Windows: FOLDERID_RoamingAppData, what %APPDATA% names
};
// The shell's known folder on Windows; nothing on POSIX, where the freedesktop rules read the
// environment and user-dirs.dirs instead.
std::optional<std::string> knownFolder(KnownFolder folder);

// Whether this user may make files in folder.
bool folderWritable(const std::string& folder);

}  // namespace fotolun::platform
