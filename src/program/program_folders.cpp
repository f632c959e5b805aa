#include "program/program_folders.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string_view>

#include "text/encoding.h"

namespace fotolun {
namespace {

std::string variable(const FolderProbe& probe, const char* name) {
  const char* value = probe.variable(name);
  return value == nullptr ? std::string() : std::string(value);
}

// The base directory rules: an empty or relative value counts as unset.
std::string absoluteOr(const std::string& value, const std::string& fallback) {
  return !value.empty() && value.front() == '/' ? value : fallback;
}

// The line XDG_PICTURES_DIR="..." of user-dirs.dirs, read the way the shell that xdg-user-dir
// runs would: "$HOME" at the start stands for the home folder.
std::optional<std::string> picturesFromUserDirs(const std::string& file, const std::string& home) {
  std::istringstream lines(file);
  std::optional<std::string> found;
  for (std::string line; std::getline(lines, line);) {
    std::string_view rest = line;
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    constexpr std::string_view key = "XDG_PICTURES_DIR=";
    if (!rest.starts_with(key)) continue;
    rest.remove_prefix(key.size());
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == ' ' || rest.back() == '\t'))
      rest.remove_suffix(1);
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') rest = rest.substr(1, rest.size() - 2);
    std::string value(rest);
    if (value.starts_with("$HOME")) value = home + value.substr(5);
    // The shell would keep the last assignment.
    if (!value.empty()) found = value;
  }
  return found;
}

std::string trimSeparators(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool isSystemFolder(const std::string& directory) {
  const std::string path = trimSeparators(directory);
  return path.starts_with("/usr/") || path == "/bin" || path == "/sbin";
}

}  // namespace

FolderProbe systemFolderProbe() {
  return FolderProbe{
      [](const char* name) { return std::getenv(name); },
      [](const std::string& path) { return ::access(path.c_str(), W_OK) == 0; },
      [](const std::string& path) -> std::optional<std::string> {
        std::ifstream in(path, std::ios::binary);
        if (!in) return std::nullopt;
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
      },
  };
}

ProgramFolders portableFolders(const Text& programDirectory) {
  return ProgramFolders{programDirectory + "/" + kSettingsFileName, programDirectory};
}

namespace {
ProgramFolders foldersBeside(const std::string& programDirectory, const FolderProbe& probe);
}  // namespace

ProgramFolders programFolders(const std::string& programDirectory, const FolderProbe& probe) {
  ProgramFolders folders = foldersBeside(programDirectory, probe);
  // A script (or a test) that keeps several settings apart names the file outright.
  if (const std::string settings = variable(probe, "FOTOLUN_SETTINGS"); settings.starts_with("/"))
    folders.settingsFile = Utf8ToGbk(settings);
  return folders;
}

namespace {

ProgramFolders foldersBeside(const std::string& programDirectory, const FolderProbe& probe) {
  if (!isSystemFolder(programDirectory) && probe.writable(programDirectory))
    return portableFolders(Utf8ToGbk(programDirectory));

  const std::string home = trimSeparators(variable(probe, "HOME"));
  const std::string config =
      trimSeparators(absoluteOr(variable(probe, "XDG_CONFIG_HOME"), home + "/.config"));
  std::optional<std::string> pictures;
  if (const auto userDirs = probe.read(config + "/user-dirs.dirs"))
    pictures = picturesFromUserDirs(*userDirs, home);
  if (!pictures) {
    const std::string fromEnvironment = variable(probe, "XDG_PICTURES_DIR");
    if (!fromEnvironment.empty()) pictures = fromEnvironment;
  }
  return ProgramFolders{Utf8ToGbk(config + "/fotolun/" + kSettingsFileName),
                        Utf8ToGbk(trimSeparators(pictures.value_or(home + "/Pictures")) + "/Fotolun")};
}

}  // namespace

std::string userCookieFile(const FolderProbe& probe) {
  const std::string home = trimSeparators(variable(probe, "HOME"));
  return trimSeparators(absoluteOr(variable(probe, "XDG_CONFIG_HOME"), home + "/.config")) +
         "/fotolun/cookies.txt";
}

}  // namespace fotolun
