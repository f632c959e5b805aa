#pragma once
// Files as the program keeps them durable: an open file closed by whoever holds it last, writes
// that go on until every byte is down, flushes to the disk, renames that replace or refuse to,
// the modification time, the hidden attribute. Paths are UTF-8 (see platform/path.h); a write that
// fails for a full disk fails like any other, so the caller reports it as it reports every failed
// write.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fotolun::platform {

class File {
 public:
  // A file descriptor on POSIX, a HANDLE on Windows; -1 is none on both.
  using Native = std::intptr_t;
  static constexpr Native kNone = -1;

  File() = default;
  explicit File(Native native) : native_(native) {}
  File(File&& other) noexcept : native_(std::exchange(other.native_, kNone)) {}
  File& operator=(File&& other) noexcept {
    if (this != &other) {
      reset();
      native_ = std::exchange(other.native_, kNone);
    }
    return *this;
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File() { reset(); }

  bool ok() const { return native_ != kNone; }
  Native native() const { return native_; }
  void reset() { close(); }
  // Closes now, saying whether the close went well: a network file system may only report a
  // failed write here.
  bool close();

 private:
  Native native_ = kNone;
};

enum class Opening {
  createNew,      // write only; fails when the name exists (nameTaken() then says so)
  createPrivate,  // write only, emptied or made, readable by the user alone
  readWrite,      // read and write, made when missing
  append,         // every write goes to the end, made when missing
  read,
};
File openFile(const std::filesystem::path& path, Opening opening);
// The last openFile on this thread failed because the name was taken.
bool nameTaken();
// Why the last call on this thread failed, in words (UTF-8).
std::string lastFailure();

// False when the file takes no more (a full disk, an I/O error).
bool writeAll(File& file, std::string_view bytes);
// Up to size bytes at offset, leaving the file's position alone; nothing on a failed read.
std::optional<std::size_t> readAt(File& file, char* into, std::size_t size, std::uint64_t offset);
// The whole file from its start.
bool readAll(File& file, std::string& content);
bool truncate(File& file, std::uint64_t size);
// Its bytes (data) or bytes and times (all) on the disk, not only in the system's cache.
bool flushData(File& file);
bool flushAll(File& file);
// The file's pages leave the system's cache: an album of gigabytes would otherwise push out what
// the rest of the machine is using. A hint; nothing where the system takes none.
void dropCachedPages(File& file);
// Sets the open file's modification time, leaving its access time and bytes alone.
bool setModifiedTime(File& file, std::time_t time);

struct FileState {
  std::uint64_t size = 0;
  bool removed = false;  // its name is gone (the user deleted it while it was open)
};
std::optional<FileState> stateOf(File& file);

// The permission bits of the file at path (POSIX); nothing where the system keeps none.
std::optional<unsigned> permissionsOf(const std::filesystem::path& path);
bool setPermissions(File& file, unsigned permissions);

// Hidden from a folder's listing. On POSIX a name starting with a dot is what hides a file, so
// this does nothing there; on Windows it is the hidden attribute.
bool setHidden(const std::filesystem::path& path, bool hidden);

// A new file's name lives in its folder: without flushing the folder a crash may lose the file.
bool flushFolder(const std::filesystem::path& folder);

// Gives the file (or folder) at from the name to, flushed through to the disk, replacing a file
// there.
bool replace(const std::filesystem::path& from, const std::filesystem::path& to);
enum class Naming { done, nameTaken, failed };
// The same, never over anything already at to.
Naming renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);
bool removeFile(const std::filesystem::path& path);

// The names in a folder (not "." nor ".."), nothing when it cannot be read. std::filesystem's
// directory_iterator on mingw reads through the C library's dirent, which does not reach past
// 260 characters; this does on every system.
struct FolderEntry {
  std::string name;  // UTF-8
  bool folder = false;
  bool link = false;  // a symbolic link (a reparse point on Windows), not followed
};
std::optional<std::vector<FolderEntry>> listFolder(const std::filesystem::path& folder);

}  // namespace fotolun::platform
