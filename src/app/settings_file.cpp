#include "app/settings_file.h"

#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/process.h"
#include "program/program_folders.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Folds ASCII letters only outside double-byte characters: a GBK trail byte may fall in the
// letter range, and folding it would make two different Chinese names equal.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto byte = static_cast<unsigned char>(a[i]);
    if (byte >= 0x80 && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  }
  return true;
}

// One physical line of the file, with its own line ending so that untouched lines are written
// back exactly as they were.
struct Line {
  std::string content;  // without the line ending
  std::string ending;   // "\r\n", "\n" or "" (last line without one)
};

std::vector<Line> splitLines(const std::string& bytes) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t lf = bytes.find('\n', start);
    if (lf == std::string::npos) {
      lines.push_back({bytes.substr(start), ""});
      break;
    }
    const bool crlf = lf > start && bytes[lf - 1] == '\r';
    const size_t end = crlf ? lf - 1 : lf;
    lines.push_back({bytes.substr(start, end - start), crlf ? "\r\n" : "\n"});
    start = lf + 1;
  }
  return lines;
}

// The name of a section header line, or nothing for other lines.
std::optional<std::string_view> sectionName(std::string_view line) {
  line = trimBlanks(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return trimBlanks(line.substr(1));
  return trimBlanks(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> keyLine(std::string_view line) {
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{trimBlanks(line.substr(0, eq)), trimBlanks(line.substr(eq + 1))};
}

std::optional<std::string> readFile(const std::string& path) {
  std::ifstream in(platform::systemPath(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Writes bytes next to path under a temporary name, flushes them to disk, then renames over path.
bool replaceFile(const std::string& path, const std::string& bytes) {
  const std::filesystem::path target = platform::systemPath(path);
  std::filesystem::path temp;
  platform::File file;
  for (int attempt = 0; attempt < 100 && !file.ok(); ++attempt) {
    temp = platform::systemPath(path + "." + std::to_string(platform::processId()) + "-" +
                                std::to_string(attempt) + ".new");
    file = platform::openFile(temp, platform::Opening::createNew);
    if (!file.ok() && !platform::nameTaken()) return false;
  }
  if (!file.ok()) return false;
  bool ok = platform::writeAll(file, bytes);
  // The settings file keeps the permissions it had, not those a new file gets.
  ok = ok && platform::setPermissions(file, platform::permissionsOf(target).value_or(0644)) &&
       platform::flushAll(file);
  ok = file.close() && ok;
  ok = ok && platform::replace(temp, target);
  if (!ok) platform::removeFile(temp);
  return ok;
}

// Indexes of the lines of the first section called name: [header, end), end exclusive.
struct SectionSpan {
  size_t header;
  size_t end;
};

std::optional<SectionSpan> findSection(const std::vector<Line>& lines, std::string_view name) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto found = sectionName(lines[i].content);
    if (!found || !sameName(*found, name)) continue;
    size_t end = i + 1;
    while (end < lines.size() && !sectionName(lines[end].content)) ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

}  // namespace

Text settingsFilePath(const Text& programDirectory) { return portableFolders(programDirectory).settingsFile; }

Text readProfileString(const Text& path, const Text& section, const Text& key, const Text& fallback) {
  std::string_view fallbackView = fallback;
  while (!fallbackView.empty() && isBlank(fallbackView.back())) fallbackView.remove_suffix(1);
  const Text fallbackTrimmed(fallbackView);
  const auto bytes = readFile(GbkToUtf8(path));
  if (!bytes) return fallbackTrimmed;
  const std::vector<Line> lines = splitLines(*bytes);
  const auto span = findSection(lines, trimBlanks(section));
  if (!span) return fallbackTrimmed;
  for (size_t i = span->header + 1; i < span->end; ++i) {
    const auto entry = keyLine(lines[i].content);
    if (!entry || !sameName(entry->key, trimBlanks(key))) continue;
    std::string_view value = entry->value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return BufferToText(value);
  }
  return fallbackTrimmed;
}

bool writeProfileString(const Text& path, const Text& section, const Text& key, const Text& value) {
  const std::string diskPath = GbkToUtf8(path);
  const std::string entry = key + "=" + value;
  std::vector<Line> lines = splitLines(readFile(diskPath).value_or(""));

  const auto span = findSection(lines, trimBlanks(section));
  if (!span) {
    if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = "\r\n";
    lines.push_back({"[" + section + "]", "\r\n"});
    lines.push_back({entry, "\r\n"});
  } else {
    bool replaced = false;
    for (size_t i = span->header + 1; i < span->end && !replaced; ++i) {
      const auto existing = keyLine(lines[i].content);
      if (existing && sameName(existing->key, trimBlanks(key))) {
        lines[i].content = entry;
        replaced = true;
      }
    }
    if (!replaced) {
      // After the section's last non-blank line, so that blank lines keep separating sections.
      size_t at = span->end;
      while (at > span->header + 1 && trimBlanks(lines[at - 1].content).empty()) --at;
      if (lines[at - 1].ending.empty()) lines[at - 1].ending = "\r\n";
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Line{entry, "\r\n"});
    }
  }

  std::string bytes;
  for (const Line& line : lines) bytes += line.content + line.ending;
  return replaceFile(diskPath, bytes);
}

}  // namespace fotolun
