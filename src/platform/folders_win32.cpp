#include <windows.h>

#include "platform/folders.h"
// After windows.h, which they need.
#include <knownfolders.h>
#include <shlobj.h>

#include "platform/path.h"
#include "platform/process.h"

namespace fotolun::platform {

std::optional<std::string> knownFolder(KnownFolder folder) {
  const KNOWNFOLDERID& id = folder == KnownFolder::pictures ? FOLDERID_Pictures : FOLDERID_RoamingAppData;
  wchar_t* path = nullptr;
  const HRESULT got = SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path);
  std::optional<std::string> out;
  if (SUCCEEDED(got) && path != nullptr) out = utf8OfPath(std::filesystem::path(path));
  CoTaskMemFree(path);
  return out;
}

// The access rights of a folder say little on Windows (Program Files grants nobody the right to
// write, yet _waccess says yes): only making a file there tells. The probe goes as its handle
// closes.
bool folderWritable(const std::string& folder) {
  const std::filesystem::path probe = systemPath(
      pathFromUtf8(folder) / pathFromUtf8("fotolun-write-probe-" + std::to_string(processId()) + ".tmp"));
  const HANDLE handle =
      CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                  FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  CloseHandle(handle);
  return true;
}

}  // namespace fotolun::platform
