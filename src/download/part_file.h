#pragma once
// A photo on its way to disk. Its bytes go to a hidden temporary file in the album folder and it
// takes its final name only when complete, and never the name of a file already there; so a stop,
// a crash or a failed write leaves no truncated photo and replaces no photo saved before.
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "text/gbk_text.h"

namespace fotolun {

class PartFile {
 public:
  // Creates a new temporary file in folder (a path on disk, UTF-8); nothing when it cannot.
  static std::optional<PartFile> create(const std::string& folder);
  // Removes the temporary files in folder that a process no longer running left behind (a
  // crash, a kill); those of a live process, this one or another, are its own business.
  static void removeLeftovers(const std::string& folder);

  PartFile(PartFile&& other) noexcept;
  PartFile& operator=(PartFile&& other) noexcept;  // the file held before goes as with the destructor
  PartFile(const PartFile&) = delete;
  ~PartFile();  // removes the temporary file unless it was moved to its name

  // Writes every byte, flushes it to the disk and closes the file.
  bool write(const ByteBuffer& bytes);
  // The same in pieces, as the bytes arrive: append each piece, then finish (flush and close).
  // Pieces are gathered up to kGathered bytes before they are written: libcurl hands a body over
  // 16 KB at a time, and a system call per 16 KB costs more than the copy.
  bool append(std::string_view bytes);
  // Writes out what append has gathered and lets its memory go (a finished photo may wait a while
  // for its turn to be named); false when it could not all be written.
  bool writeOut();
  // modified, when given, becomes the file's modification time, flushed with its bytes.
  bool finish(std::optional<std::time_t> modified = std::nullopt);

  static constexpr std::size_t kGathered = 256 * 1024;

  enum class Move { done, nameTaken, failed };
  // Gives the written file its final name in the folder, unless a file of that name exists.
  Move moveTo(const std::string& name);

  const std::string& path() const { return path_; }

 private:
  PartFile(std::string folder, std::string path, platform::File file)
      : folder_(std::move(folder)), path_(std::move(path)), fd_(std::move(file)) {}
  bool writeGathered();

  std::string folder_;
  std::string path_;
  platform::File fd_;
  bool moved_ = false;
  std::string gathered_;
};

}  // namespace fotolun
