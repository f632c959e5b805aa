#include "download/part_file.h"

#include <atomic>
#include <filesystem>
#include <string_view>
#include <utility>

#include "platform/path.h"
#include "platform/process.h"

namespace fotolun {
namespace {

std::atomic<unsigned long> partCounter{0};

// Asked once: a system call per photo adds up over an album of thousands.
const std::string& ownPidText() {
  static const std::string text = std::to_string(platform::processId());
  return text;
}

}  // namespace

void PartFile::removeLeftovers(const std::string& folder) {
  const std::filesystem::path onDisk = platform::systemPath(folder);
  for (const platform::FolderEntry& entry :
       platform::listFolder(onDisk).value_or(std::vector<platform::FolderEntry>())) {
    const std::string& name = entry.name;
    constexpr std::string_view kHead = ".photo-", kTail = ".part";
    if (name.size() <= kHead.size() + kTail.size() || !name.starts_with(kHead) || !name.ends_with(kTail))
      continue;
    const std::size_t dash = name.find('-', kHead.size());
    if (dash == std::string::npos) continue;
    const std::string pidText = name.substr(kHead.size(), dash - kHead.size());
    if (pidText.empty() || pidText.find_first_not_of("0123456789") != std::string::npos || pidText.size() > 9)
      continue;
    const int pid = static_cast<int>(std::stol(pidText));
    if (pid == platform::processId() || platform::processRunning(pid)) continue;
    platform::removeFile(onDisk / platform::pathFromUtf8(name));
  }
}

std::optional<PartFile> PartFile::create(const std::string& folder) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string path =
        folder + "/.photo-" + ownPidText() + "-" + std::to_string(partCounter.fetch_add(1)) + ".part";
    platform::File file = platform::openFile(platform::pathFromUtf8(path), platform::Opening::createNew);
    if (file.ok()) {
      // Hidden by its dot on POSIX; on Windows by the attribute, which moveTo takes off again.
      platform::setHidden(platform::pathFromUtf8(path), true);
      return PartFile(folder, path, std::move(file));
    }
    if (!platform::nameTaken()) return std::nullopt;
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
  if (!moved_) platform::removeFile(platform::pathFromUtf8(path_));
  folder_ = std::move(other.folder_);
  path_ = std::move(other.path_);
  fd_ = std::move(other.fd_);
  moved_ = std::exchange(other.moved_, true);
  gathered_ = std::move(other.gathered_);
  return *this;
}

PartFile::~PartFile() {
  fd_.reset();
  if (!moved_) platform::removeFile(platform::pathFromUtf8(path_));
}

bool PartFile::write(const ByteBuffer& bytes) {
  const bool written = append(bytes);
  return finish() && written;
}

bool PartFile::append(std::string_view bytes) {
  if (!fd_.ok()) return false;
  if (gathered_.size() + bytes.size() > kGathered && !writeGathered()) return false;
  if (bytes.size() >= kGathered) return platform::writeAll(fd_, bytes);
  gathered_.append(bytes);
  return true;
}

bool PartFile::writeGathered() {
  if (!fd_.ok()) return false;
  const bool written = platform::writeAll(fd_, gathered_);
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
  if (modified) platform::setModifiedTime(fd_, *modified);
  const bool synced = written && platform::flushAll(fd_);
  // Once on disk, the photo's pages leave the cache: an album of gigabytes would otherwise push
  // out what the rest of the machine is using, and the next photo reuses the pages just freed.
  if (synced) platform::dropCachedPages(fd_);
  const bool closed = fd_.close();
  return synced && closed;
}

PartFile::Move PartFile::moveTo(const std::string& name) {
  if (fd_.ok() || moved_) return Move::failed;  // not written, or already gone
  const std::filesystem::path from = platform::pathFromUtf8(path_);
  platform::setHidden(from, false);
  switch (platform::renameWithoutReplacing(from, platform::pathFromUtf8(folder_ + "/" + name))) {
    case platform::Naming::done:
      moved_ = true;
      return Move::done;
    case platform::Naming::nameTaken:
      platform::setHidden(from, true);
      return Move::nameTaken;
    case platform::Naming::failed:
      break;
  }
  platform::setHidden(from, true);
  return Move::failed;
}

}  // namespace fotolun
