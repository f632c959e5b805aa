#include "story/atomic_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "download/file_descriptor.h"

namespace fotolun {
namespace {
std::atomic<unsigned long> counter{0};
}  // namespace

bool replaceFile(const std::filesystem::path& path, std::string_view bytes) {
  const std::string temporary =
      (path.parent_path() / ("." + path.filename().string() + "-" + std::to_string(getpid()) + "-" +
                             std::to_string(counter.fetch_add(1)) + ".tmp"))
          .string();
  UniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!fd.ok()) return false;
  const bool written = writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
  if (!fd.close() || !written || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  syncFolder(path.parent_path().c_str());
  return true;
}

}  // namespace fotolun
