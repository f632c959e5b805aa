#include "download/part_file.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <utility>

#include "download/file_descriptor.h"
#include "download/photo_time.h"

namespace fotolun {
namespace {

std::atomic<unsigned long> partCounter{0};

// Asked once: a system call per photo adds up over an album of thousands.
const std::string& ownPidText() {
  static const std::string text = std::to_string(getpid());
  return text;
}

// rename() would replace an existing photo; RENAME_NOREPLACE refuses, and where the file system
// does not offer it, a hard link does the same.
PartFile::Move renameWithoutReplacing(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return PartFile::Move::done;
  if (errno == EEXIST) return PartFile::Move::nameTaken;
  if (errno != EINVAL && errno != ENOSYS) return PartFile::Move::failed;
  if (link(from.c_str(), to.c_str()) != 0) {
    return errno == EEXIST ? PartFile::Move::nameTaken : PartFile::Move::failed;
  }
  unlink(from.c_str());
  return PartFile::Move::done;
}

}  // namespace

void PartFile::removeLeftovers(const std::string& folder) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    constexpr std::string_view kHead = ".photo-", kTail = ".part";
    if (name.size() <= kHead.size() + kTail.size() || !name.starts_with(kHead) || !name.ends_with(kTail))
      continue;
    const std::size_t dash = name.find('-', kHead.size());
    if (dash == std::string::npos) continue;
    const std::string pidText = name.substr(kHead.size(), dash - kHead.size());
    if (pidText.empty() || pidText.find_first_not_of("0123456789") != std::string::npos || pidText.size() > 9)
      continue;
    const pid_t pid = static_cast<pid_t>(std::stol(pidText));
    if (pid == getpid() || kill(pid, 0) == 0 || errno != ESRCH) continue;
    std::error_code ignored;
    std::filesystem::remove(entry.path(), ignored);
  }
}

std::optional<PartFile> PartFile::create(const std::string& folder) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string path =
        folder + "/.photo-" + ownPidText() + "-" + std::to_string(partCounter.fetch_add(1)) + ".part";
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return PartFile(folder, path, fd);
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

PartFile::PartFile(PartFile&& other) noexcept
    : folder_(std::move(other.folder_)),
      path_(std::move(other.path_)),
      fd_(std::move(other.fd_)),
      moved_(std::exchange(other.moved_, true)),
      gathered_(std::move(other.gathered_)) {}

PartFile& PartFile::operator=(PartFile&& other) noexcept {
  if (this == &other) return *this;
  fd_.reset();
  if (!moved_) unlink(path_.c_str());
  folder_ = std::move(other.folder_);
  path_ = std::move(other.path_);
  fd_ = std::move(other.fd_);
  moved_ = std::exchange(other.moved_, true);
  gathered_ = std::move(other.gathered_);
  return *this;
}

PartFile::~PartFile() {
  fd_.reset();
  if (!moved_) unlink(path_.c_str());
}

bool PartFile::write(const ByteBuffer& bytes) {
  const bool written = append(bytes);
  return finish() && written;
}

bool PartFile::append(std::string_view bytes) {
  if (!fd_.ok()) return false;
  if (gathered_.size() + bytes.size() > kGathered && !writeGathered()) return false;
  if (bytes.size() >= kGathered) return writeAll(fd_.get(), bytes);
  gathered_.append(bytes);
  return true;
}

bool PartFile::writeGathered() {
  if (!fd_.ok()) return false;
  const bool written = writeAll(fd_.get(), gathered_);
  gathered_.clear();
  return written;
}

bool PartFile::writeOut() {
  const bool written = writeGathered();
  std::string().swap(gathered_);
  return written;
}

bool PartFile::finish(std::optional<std::time_t> modified) {
  if (!fd_.ok()) return false;
  const bool written = writeOut();
  if (modified) setFileTime(fd_.get(), *modified);
  const bool synced = written && fsync(fd_.get()) == 0;
  // Once on disk, the photo's pages leave the cache: an album of gigabytes would otherwise push
  // out what the rest of the machine is using, and the next photo reuses the pages just freed.
  if (synced) posix_fadvise(fd_.get(), 0, 0, POSIX_FADV_DONTNEED);
  const bool closed = fd_.close();
  return synced && closed;
}

PartFile::Move PartFile::moveTo(const std::string& name) {
  if (fd_.ok() || moved_) return Move::failed;  // not written, or already gone
  const Move result = renameWithoutReplacing(path_, folder_ + "/" + name);
  if (result == Move::done) moved_ = true;
  return result;
}

}  // namespace fotolun
