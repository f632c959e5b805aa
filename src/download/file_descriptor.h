#pragma once
// Plain file descriptors: one closed by whoever holds it last, a write that goes on until every
// byte is written, and a folder's names made durable.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <utility>

namespace fotolun {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { reset(); }

  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  void reset() { close(); }
  // Closes now, saying whether the close went well: a network file system may only report a
  // failed write here.
  bool close() { return fd_ >= 0 && ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_ = -1;
};

// False when the file takes no more (a full disk, an I/O error).
inline bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
  return true;
}

// A new file's name lives in its folder: without syncing the folder a crash may lose the file.
// False when it could not.
inline bool syncFolder(const char* folder) {
  const UniqueFd dir(::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return dir.ok() && ::fsync(dir.get()) == 0;
}

}  // namespace fotolun
