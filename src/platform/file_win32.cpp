#include <windows.h>

#include <algorithm>

#include "platform/file.h"
#include "platform/path.h"

namespace fotolun::platform {
namespace {

HANDLE handleOf(const File& file) { return reinterpret_cast<HANDLE>(file.native()); }

// Seconds since 1970 as the 100 ns ticks since 1601 that Windows counts in.
FILETIME fileTimeOf(std::time_t time) {
  const ULONGLONG ticks = static_cast<ULONGLONG>(time) * 10000000ULL + 116444736000000000ULL;
  FILETIME out;
  out.dwLowDateTime = static_cast<DWORD>(ticks);
  out.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return out;
}

std::string utf8Of(const wchar_t* text, int size) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text, size, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace

bool File::close() {
  return native_ != kNone && CloseHandle(reinterpret_cast<HANDLE>(std::exchange(native_, kNone))) != 0;
}

File openFile(const std::filesystem::path& path, Opening opening) {
  DWORD access = GENERIC_WRITE;
  DWORD disposition = OPEN_ALWAYS;
  switch (opening) {
    case Opening::createNew:
      disposition = CREATE_NEW;
      break;
    case Opening::createPrivate:
      // A folder of the user's own profile (%APPDATA%) is the user's alone already.
      disposition = CREATE_ALWAYS;
      break;
    case Opening::readWrite:
    case Opening::append:
      // writeAll always writes at the end, so both are the same here.
      access = GENERIC_READ | GENERIC_WRITE;
      break;
    case Opening::read:
      access = GENERIC_READ;
      disposition = OPEN_EXISTING;
      break;
  }
  // Shared for deleting as on POSIX: the user may remove a record the run keeps open, and a file
  // can take a new name while another reader holds it.
  const HANDLE handle =
      CreateFileW(systemPath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle == INVALID_HANDLE_VALUE ? File() : File(reinterpret_cast<File::Native>(handle));
}

bool nameTaken() {
  const DWORD error = GetLastError();
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

std::string lastFailure() {
  const DWORD error = GetLastError();
  wchar_t* text = nullptr;
  const DWORD size = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string out = size > 0 ? utf8Of(text, static_cast<int>(size)) : "error " + std::to_string(error);
  LocalFree(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == '.')) out.pop_back();
  return out;
}

// Every write goes to the end of the file (an offset of all ones): the files here are either
// written from start to end or appended to. ERROR_DISK_FULL and ERROR_HANDLE_DISK_FULL fail the
// write as ENOSPC does on POSIX.
bool writeAll(File& file, std::string_view bytes) {
  while (!bytes.empty()) {
    OVERLAPPED atEnd{};
    atEnd.Offset = 0xFFFFFFFF;
    atEnd.OffsetHigh = 0xFFFFFFFF;
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD wrote = 0;
    if (!WriteFile(handleOf(file), bytes.data(), piece, &wrote, &atEnd) || wrote == 0) return false;
    bytes.remove_prefix(wrote);
  }
  return true;
}

std::optional<std::size_t> readAt(File& file, char* into, std::size_t size, std::uint64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD got = 0;
  if (!ReadFile(handleOf(file), into, static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30)), &got, &at))
    return GetLastError() == ERROR_HANDLE_EOF ? std::optional<std::size_t>(0) : std::nullopt;
  return got;
}

bool truncate(File& file, std::uint64_t size) {
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
  return SetFileInformationByHandle(handleOf(file), FileEndOfFileInfo, &end, sizeof end) != 0;
}

bool flushData(File& file) { return FlushFileBuffers(handleOf(file)) != 0; }

bool flushAll(File& file) { return FlushFileBuffers(handleOf(file)) != 0; }

// Windows takes no such hint for a file opened for cached writes.
void dropCachedPages(File&) {}

bool setModifiedTime(File& file, std::time_t time) {
  const FILETIME modified = fileTimeOf(time);
  return SetFileTime(handleOf(file), nullptr, nullptr, &modified) != 0;
}

std::optional<FileState> stateOf(File& file) {
  FILE_STANDARD_INFO info{};
  if (!GetFileInformationByHandleEx(handleOf(file), FileStandardInfo, &info, sizeof info))
    return std::nullopt;
  // Deleted the old way, the name stays until the last handle closes, delete pending; deleted the
  // POSIX way (NTFS on recent Windows), the name goes at once and the file keeps no link.
  return FileState{static_cast<std::uint64_t>(info.EndOfFile.QuadPart),
                   info.DeletePending != FALSE || info.NumberOfLinks == 0};
}

std::optional<unsigned> permissionsOf(const std::filesystem::path&) { return std::nullopt; }

bool setPermissions(File&, unsigned) { return true; }

bool setHidden(const std::filesystem::path& path, bool hidden) {
  const std::filesystem::path onDisk = systemPath(path);
  const DWORD attributes = GetFileAttributesW(onDisk.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const DWORD wanted = hidden ? (attributes | FILE_ATTRIBUTE_HIDDEN) : (attributes & ~FILE_ATTRIBUTE_HIDDEN);
  return wanted == attributes ||
         SetFileAttributesW(onDisk.c_str(), wanted != 0 ? wanted : FILE_ATTRIBUTE_NORMAL);
}

// NTFS keeps a folder's names in its journal, and every rename here is written through; there is
// no folder handle to flush without the backup privilege.
bool flushFolder(const std::filesystem::path&) { return true; }

bool replace(const std::filesystem::path& from, const std::filesystem::path& to) {
  return MoveFileExW(systemPath(from).c_str(), systemPath(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

Naming renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (MoveFileExW(systemPath(from).c_str(), systemPath(to).c_str(), MOVEFILE_WRITE_THROUGH))
    return Naming::done;
  const DWORD error = GetLastError();
  return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? Naming::nameTaken : Naming::failed;
}

bool removeFile(const std::filesystem::path& path) { return DeleteFileW(systemPath(path).c_str()) != 0; }

std::optional<std::vector<FolderEntry>> listFolder(const std::filesystem::path& folder) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileExW((systemPath(folder) / L"*").c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<FolderEntry> entries;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    entries.push_back({utf8Of(name.c_str(), static_cast<int>(name.size())),
                       (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return entries;
}

}  // namespace fotolun::platform
