#include <unistd.h>

#include "platform/folders.h"

namespace fotolun::platform {

std::optional<std::string> knownFolder(KnownFolder) { return std::nullopt; }

bool folderWritable(const std::string& folder) { return ::access(folder.c_str(), W_OK) == 0; }

}  // namespace fotolun::platform
