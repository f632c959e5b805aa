#include "download/download_archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace fotolun {
namespace {

constexpr std::string_view kAlbumTag = "album";
constexpr std::array<std::pair<CopyKind, std::string_view>, 3> kKindNames = {
    {{CopyKind::hd, "hd"}, {CopyKind::original, "original"}, {CopyKind::group, "group"}}};

std::string Escape(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (const char c : field) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescape(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      out += field[i];
      continue;
    }
    if (++i == field.size()) return std::nullopt;
    switch (field[i]) {
      case '\\':
        out += '\\';
        break;
      case 't':
        out += '\t';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

// The unescaped tab-separated fields of one line (without its '\n'); nullopt if one is malformed.
std::optional<std::vector<std::string>> Fields(std::string_view line) {
  std::vector<std::string> fields;
  for (;;) {
    const std::size_t tab = line.find('\t');
    auto field = Unescape(line.substr(0, tab));
    if (!field) return std::nullopt;
    fields.push_back(std::move(*field));
    if (tab == std::string_view::npos) return fields;
    line.remove_prefix(tab + 1);
  }
}

std::string HeaderLine(std::string_view albumId) {
  return std::string(kAlbumTag) + "\t" + Escape(albumId) + "\n";
}

std::optional<std::string> AlbumIdOfHeader(std::string_view line) {
  auto fields = Fields(line);
  if (!fields || fields->size() != 2 || (*fields)[0] != kAlbumTag) return std::nullopt;
  return std::move((*fields)[1]);
}

std::optional<CopyKind> KindNamed(std::string_view name) {
  for (const auto& [kind, kindName] : kKindNames) {
    if (kindName == name) return kind;
  }
  return std::nullopt;
}

std::string_view NameOf(CopyKind kind) {
  for (const auto& [each, name] : kKindNames) {
    if (each == kind) return name;
  }
  return "";
}

bool ReadAll(int fd, std::string& content) {
  content.clear();
  char buffer[65536];
  for (off_t at = 0;;) {
    const ssize_t got = ::pread(fd, buffer, sizeof buffer, at);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    content.append(buffer, static_cast<std::size_t>(got));
    at += got;
  }
}

// Cuts a last line that a crash left without its '\n', so the next append starts a line of its
// own instead of completing the torn one into something that looks like a record.
bool CutTornTail(int fd, std::string& content) {
  if (content.empty() || content.back() == '\n') return true;
  const std::size_t lastNewline = content.rfind('\n');
  content.resize(lastNewline == std::string::npos ? 0 : lastNewline + 1);
  return ::ftruncate(fd, static_cast<off_t>(content.size())) == 0;
}

// Same, for a file of size bytes, reading it only when its last byte says it is torn.
bool CutTornTail(int fd, off_t size) {
  if (size == 0) return true;
  char last = 0;
  if (::pread(fd, &last, 1, size - 1) != 1) return false;
  if (last == '\n') return true;
  std::string content;
  return ReadAll(fd, content) && CutTornTail(fd, content);
}

bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

}  // namespace

DownloadArchive::DownloadArchive(std::filesystem::path folder, std::string albumId)
    : folder_(std::move(folder)), albumId_(std::move(albumId)) {}

std::optional<DownloadArchive> DownloadArchive::open(const std::filesystem::path& folder,
                                                     std::string_view albumId) {
  const std::filesystem::path file = folder / kArchiveFileName;
  const UniqueFd fd(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  std::string content;
  if (!fd.ok() || !ReadAll(fd.get(), content) || !CutTornTail(fd.get(), content)) return std::nullopt;

  DownloadArchive archive(folder, std::string(albumId));
  if (content.empty()) {
    if (!writeAll(fd.get(), HeaderLine(albumId)) || ::fdatasync(fd.get()) != 0) return std::nullopt;
    syncFolder(folder.c_str());
    return archive;
  }
  std::string_view lines = content;
  const std::size_t headerEnd = lines.find('\n');
  if (AlbumIdOfHeader(lines.substr(0, headerEnd)) != albumId) return std::nullopt;
  lines.remove_prefix(headerEnd + 1);
  while (!lines.empty()) {
    const std::size_t end = lines.find('\n');
    const auto fields = Fields(lines.substr(0, end));
    lines.remove_prefix(end + 1);
    if (!fields || fields->size() != 3) continue;
    const auto kind = KindNamed((*fields)[0]);
    if (!kind || (*fields)[1].empty() || !IsPlainFileName((*fields)[2])) continue;
    archive.files_[PhotoIdentity{*kind, (*fields)[1]}] = (*fields)[2];
  }
  return archive;
}

std::optional<std::string> DownloadArchive::albumIdOf(const std::filesystem::path& folder) {
  const std::filesystem::path file = folder / kArchiveFileName;
  const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.ok()) return std::nullopt;
  char buffer[4096];
  const ssize_t got = ::pread(fd.get(), buffer, sizeof buffer, 0);
  if (got <= 0) return std::nullopt;
  const std::string_view head(buffer, static_cast<std::size_t>(got));
  const std::size_t end = head.find('\n');
  if (end == std::string_view::npos) return std::nullopt;
  return AlbumIdOfHeader(head.substr(0, end));
}

std::optional<std::string> DownloadArchive::savedFile(const PhotoIdentity& photo) const {
  std::string name;
  {
    const std::lock_guard<std::mutex> lock(*mutex_);
    const auto found = files_.find(photo);
    if (found == files_.end()) return std::nullopt;
    name = found->second;
  }
  std::error_code error;
  if (!std::filesystem::is_regular_file(folder_ / name, error)) return std::nullopt;
  return name;
}

bool DownloadArchive::record(const PhotoIdentity& photo, const std::string& fileName) {
  if (photo.key.empty() || !IsPlainFileName(fileName)) return false;
  const std::lock_guard<std::mutex> lock(*mutex_);
  if (!append(std::string(NameOf(photo.kind)) + "\t" + Escape(photo.key) + "\t" + Escape(fileName) + "\n"))
    return false;
  files_[photo] = fileName;
  return true;
}

// The file stays open from one line to the next: an album of thousands of photos would otherwise
// open and close it thousands of times.
bool DownloadArchive::append(std::string line) {
  struct stat info {};
  // The user may have deleted the archive during the run: it starts again with its header.
  if (file_.ok() && (::fstat(file_.get(), &info) != 0 || info.st_nlink == 0)) file_.reset();
  if (!file_.ok()) {
    file_ =
        UniqueFd(::open((folder_ / kArchiveFileName).c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    if (!file_.ok() || ::fstat(file_.get(), &info) != 0) {
      file_.reset();
      return false;
    }
  }
  if (info.st_size == 0) line.insert(0, HeaderLine(albumId_));
  if (!CutTornTail(file_.get(), info.st_size) || !writeAll(file_.get(), line) ||
      ::fdatasync(file_.get()) != 0)
    return false;
  if (info.st_size == 0) syncFolder(folder_.c_str());
  return true;
}

void DownloadArchive::closeFile() {
  const std::lock_guard<std::mutex> lock(*mutex_);
  file_.reset();
}

std::optional<std::filesystem::path> findEarlierAlbumFolder(const std::filesystem::path& numberFolder,
                                                            std::string_view albumId,
                                                            const std::string& wantedName) {
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::symlink_status(numberFolder / wantedName, error))) {
    return std::nullopt;
  }
  std::optional<std::filesystem::path> found;
  std::filesystem::file_time_type foundTime;
  for (std::filesystem::directory_iterator it(numberFolder, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code entryError;
    if (it->is_symlink(entryError) || !it->is_directory(entryError)) continue;
    if (DownloadArchive::albumIdOf(it->path()) != albumId) continue;
    const auto written = std::filesystem::last_write_time(it->path() / kArchiveFileName, entryError);
    if (entryError) continue;
    if (!found || written > foundTime) {
      found = it->path();
      foundTime = written;
    }
  }
  return found;
}

std::optional<std::filesystem::path> moveEarlierAlbumFolder(const std::filesystem::path& numberFolder,
                                                            std::string_view albumId,
                                                            const std::string& wantedName) {
  const auto earlier = findEarlierAlbumFolder(numberFolder, albumId, wantedName);
  if (!earlier) return std::nullopt;
  const std::filesystem::path wanted = numberFolder / wantedName;
  // RENAME_NOREPLACE: a plain rename would silently replace an empty folder made meanwhile.
  if (::renameat2(AT_FDCWD, earlier->c_str(), AT_FDCWD, wanted.c_str(), RENAME_NOREPLACE) != 0) {
    return std::nullopt;
  }
  syncFolder(numberFolder.c_str());
  return wanted;
}

}  // namespace fotolun
