#include "download/download_archive.h"

#include <array>
#include <vector>

#include "platform/path.h"

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

// Cuts a last line that a crash left without its '\n', so the next append starts a line of its
// own instead of completing the torn one into something that looks like a record.
bool CutTornTail(platform::File& file, std::string& content) {
  if (content.empty() || content.back() == '\n') return true;
  const std::size_t lastNewline = content.rfind('\n');
  content.resize(lastNewline == std::string::npos ? 0 : lastNewline + 1);
  return platform::truncate(file, content.size());
}

// Same, for a file of size bytes, reading it only when its last byte says it is torn.
bool CutTornTail(platform::File& file, std::uint64_t size) {
  if (size == 0) return true;
  char last = 0;
  if (platform::readAt(file, &last, 1, size - 1) != 1) return false;
  if (last == '\n') return true;
  std::string content;
  return platform::readAll(file, content) && CutTornTail(file, content);
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
  platform::File fd = platform::openFile(file, platform::Opening::readWrite);
  std::string content;
  if (!fd.ok() || !platform::readAll(fd, content) || !CutTornTail(fd, content)) return std::nullopt;

  DownloadArchive archive(folder, std::string(albumId));
  if (content.empty()) {
    if (!platform::writeAll(fd, HeaderLine(albumId)) || !platform::flushData(fd)) return std::nullopt;
    platform::setHidden(file, true);
    platform::flushFolder(folder);
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
  platform::File fd = platform::openFile(file, platform::Opening::read);
  if (!fd.ok()) return std::nullopt;
  char buffer[4096];
  const auto got = platform::readAt(fd, buffer, sizeof buffer, 0);
  if (!got || *got == 0) return std::nullopt;
  const std::string_view head(buffer, *got);
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
  if (!std::filesystem::is_regular_file(platform::systemPath(folder_ / platform::pathFromUtf8(name)), error))
    return std::nullopt;
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
  std::optional<platform::FileState> state;
  // The user may have deleted the archive during the run: it starts again with its header.
  if (file_.ok() && (!(state = platform::stateOf(file_)) || state->removed)) file_.reset();
  if (!file_.ok()) {
    file_ = platform::openFile(folder_ / kArchiveFileName, platform::Opening::append);
    if (!file_.ok() || !(state = platform::stateOf(file_))) {
      file_.reset();
      return false;
    }
  }
  if (state->size == 0) line.insert(0, HeaderLine(albumId_));
  if (!CutTornTail(file_, state->size) || !platform::writeAll(file_, line) || !platform::flushData(file_))
    return false;
  if (state->size == 0) {
    platform::setHidden(folder_ / kArchiveFileName, true);
    platform::flushFolder(folder_);
  }
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
  if (std::filesystem::exists(std::filesystem::symlink_status(
          platform::systemPath(numberFolder / platform::pathFromUtf8(wantedName)), error))) {
    return std::nullopt;
  }
  std::optional<std::filesystem::path> found;
  std::filesystem::file_time_type foundTime;
  const std::filesystem::path onDisk = platform::systemPath(numberFolder);
  for (const platform::FolderEntry& entry :
       platform::listFolder(onDisk).value_or(std::vector<platform::FolderEntry>())) {
    if (entry.link || !entry.folder) continue;
    const std::filesystem::path folder = onDisk / platform::pathFromUtf8(entry.name);
    if (DownloadArchive::albumIdOf(folder) != albumId) continue;
    std::error_code entryError;
    const auto written = std::filesystem::last_write_time(folder / kArchiveFileName, entryError);
    if (entryError) continue;
    if (!found || written > foundTime) {
      found = folder;
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
  const std::filesystem::path wanted = numberFolder / platform::pathFromUtf8(wantedName);
  // A plain rename would silently replace an empty folder made meanwhile.
  if (platform::renameWithoutReplacing(*earlier, wanted) != platform::Naming::done) return std::nullopt;
  platform::flushFolder(numberFolder);
  return wanted;
}

}  // namespace fotolun
