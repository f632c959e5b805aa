#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/file.h"

namespace fotolun::platform {
namespace {

int fdOf(const File& file) { return static_cast<int>(file.native()); }

}  // namespace

bool File::close() {
  return native_ != kNone && ::close(static_cast<int>(std::exchange(native_, kNone))) == 0;
}

File openFile(const std::filesystem::path& path, Opening opening) {
  int flags = O_CLOEXEC;
  mode_t mode = 0666;
  switch (opening) {
    case Opening::createNew:
      flags |= O_WRONLY | O_CREAT | O_EXCL;
      break;
    case Opening::createPrivate:
      flags |= O_WRONLY | O_CREAT | O_TRUNC;
      mode = 0600;
      break;
    case Opening::readWrite:
      flags |= O_RDWR | O_CREAT;
      mode = 0644;
      break;
    case Opening::append:
      flags |= O_RDWR | O_APPEND | O_CREAT;
      mode = 0644;
      break;
    case Opening::read:
      flags |= O_RDONLY;
      break;
  }
  const int fd = ::open(path.c_str(), flags, mode);
  return fd < 0 ? File() : File(fd);
}

bool nameTaken() { return errno == EEXIST; }

std::string lastFailure() { return std::strerror(errno); }

bool writeAll(File& file, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = ::write(fdOf(file), bytes.data(), bytes.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
  return true;
}

std::optional<std::size_t> readAt(File& file, char* into, std::size_t size, std::uint64_t offset) {
  for (;;) {
    const ssize_t got = ::pread(fdOf(file), into, size, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    return static_cast<std::size_t>(got);
  }
}

bool truncate(File& file, std::uint64_t size) {
  return ::ftruncate(fdOf(file), static_cast<off_t>(size)) == 0;
}

bool flushData(File& file) { return ::fdatasync(fdOf(file)) == 0; }

bool flushAll(File& file) { return ::fsync(fdOf(file)) == 0; }

void dropCachedPages(File& file) { posix_fadvise(fdOf(file), 0, 0, POSIX_FADV_DONTNEED); }

bool setModifiedTime(File& file, std::time_t time) {
  const timespec times[2] = {{0, UTIME_OMIT}, {time, 0}};
  return ::futimens(fdOf(file), times) == 0;
}

std::optional<FileState> stateOf(File& file) {
  struct stat info {};
  if (::fstat(fdOf(file), &info) != 0) return std::nullopt;
  return FileState{static_cast<std::uint64_t>(info.st_size), info.st_nlink == 0};
}

std::optional<unsigned> permissionsOf(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<unsigned>(info.st_mode & 07777);
}

bool setPermissions(File& file, unsigned permissions) {
  return ::fchmod(fdOf(file), static_cast<mode_t>(permissions)) == 0;
}

bool setHidden(const std::filesystem::path&, bool) { return true; }

bool flushFolder(const std::filesystem::path& folder) {
  File dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return dir.ok() && flushAll(dir);
}

bool replace(const std::filesystem::path& from, const std::filesystem::path& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

// RENAME_NOREPLACE refuses a name taken; where the file system does not offer it, a hard link
// does the same for a file.
Naming renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return Naming::done;
  if (errno == EEXIST) return Naming::nameTaken;
  if (errno != EINVAL && errno != ENOSYS) return Naming::failed;
  if (::link(from.c_str(), to.c_str()) != 0) return errno == EEXIST ? Naming::nameTaken : Naming::failed;
  ::unlink(from.c_str());
  return Naming::done;
}

bool removeFile(const std::filesystem::path& path) { return ::unlink(path.c_str()) == 0; }

std::optional<std::vector<FolderEntry>> listFolder(const std::filesystem::path& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::vector<FolderEntry> entries;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN) {
      struct stat info {};
      if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0)
        type = S_ISLNK(info.st_mode) ? DT_LNK : S_ISDIR(info.st_mode) ? DT_DIR : DT_REG;
    }
    entries.push_back({name, type == DT_DIR, type == DT_LNK});
  }
  ::closedir(dir);
  return entries;
}

}  // namespace fotolun::platform
