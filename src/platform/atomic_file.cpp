#include "platform/atomic_file.h"

#include <atomic>
#include <string>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/process.h"

namespace fotolun {
namespace {
std::atomic<unsigned long> counter{0};
}  // namespace

bool replaceFile(const std::filesystem::path& path, std::string_view bytes) {
  const std::filesystem::path temporary =
      path.parent_path() / platform::pathFromUtf8("." + platform::utf8OfPath(path.filename()) + "-" +
                                                  std::to_string(platform::processId()) + "-" +
                                                  std::to_string(counter.fetch_add(1)) + ".tmp");
  platform::File file = platform::openFile(temporary, platform::Opening::createNew);
  if (!file.ok()) return false;
  const bool written = platform::writeAll(file, bytes) && platform::flushAll(file);
  if (!file.close() || !written || !platform::replace(temporary, path)) {
    platform::removeFile(temporary);
    return false;
  }
  platform::flushFolder(path.parent_path());
  return true;
}

}  // namespace fotolun
