#include "program/program_folders.h"

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string_view>

#include "platform/path.h"
#include "platform/process.h"
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

// Windows paths: either separator, letters in either case.
std::string windowsKey(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

std::string trimWindowsSeparators(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

bool isWindowsAbsolute(const std::string& path) {
  return (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
         path.starts_with("\\\\") || path.starts_with("//");
}

// Administrators may write to Program Files; a copy there is installed all the same.
bool isUnderProgramFiles(const std::string& directory, const FolderProbe& probe) {
  const std::string folder = windowsKey(directory);
  for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
    const std::string root = windowsKey(variable(probe, name));
    if (!root.empty() && (folder == root || folder.starts_with(root + "\\"))) return true;
  }
  return false;
}

std::string windowsAppData(const FolderProbe& probe) {
  const std::string fromEnvironment = variable(probe, "APPDATA");
  if (!fromEnvironment.empty()) return trimWindowsSeparators(fromEnvironment);
  return trimWindowsSeparators(probe.knownFolder(platform::KnownFolder::roamingAppData).value_or(""));
}

}  // namespace

FolderProbe systemFolderProbe() {
  // variable hands out a pointer that must outlive the call: each value the probe read stays here.
  auto values = std::make_shared<std::map<std::string, std::string>>();
  return FolderProbe{
      [values](const char* name) -> const char* {
        const std::optional<std::string> value = platform::environmentVariable(name);
        if (!value) return nullptr;
        std::string& kept = (*values)[name];
        kept = *value;
        return kept.c_str();
      },
      [](const std::string& path) { return platform::folderWritable(path); },
      [](const std::string& path) -> std::optional<std::string> {
        std::ifstream in(platform::systemPath(path), std::ios::binary);
        if (!in) return std::nullopt;
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
      },
      [](platform::KnownFolder folder) { return platform::knownFolder(folder); },
  };
}

ProgramFolders portableFolders(const Text& programDirectory, char separator) {
  return ProgramFolders{programDirectory + separator + kSettingsFileName, programDirectory};
}

namespace {
ProgramFolders foldersBeside(const std::string& programDirectory, const FolderProbe& probe);
}  // namespace

ProgramFolders programFolders(const std::string& programDirectory, const FolderProbe& probe) {
  ProgramFolders folders = foldersBeside(programDirectory, probe);
  // A script (or a test) that keeps several settings apart names the file outright.
  if (const std::string settings = variable(probe, "FOTOLUN_SETTINGS");
      probe.windowsRules ? isWindowsAbsolute(settings) : settings.starts_with("/"))
    folders.settingsFile = Utf8ToGbk(settings);
  return folders;
}

namespace {

ProgramFolders windowsFoldersBeside(const std::string& programDirectory, const FolderProbe& probe) {
  if (!isUnderProgramFiles(programDirectory, probe) && probe.writable(programDirectory))
    return portableFolders(Utf8ToGbk(programDirectory), '\\');
  std::string pictures =
      trimWindowsSeparators(probe.knownFolder(platform::KnownFolder::pictures).value_or(""));
  if (pictures.empty()) pictures = trimWindowsSeparators(variable(probe, "USERPROFILE")) + "\\Pictures";
  return ProgramFolders{Utf8ToGbk(windowsAppData(probe) + "\\Fotolun\\" + kSettingsFileName),
                        Utf8ToGbk(pictures + "\\Fotolun")};
}

ProgramFolders foldersBeside(const std::string& programDirectory, const FolderProbe& probe) {
  if (probe.windowsRules) return windowsFoldersBeside(programDirectory, probe);
  if (!isSystemFolder(programDirectory) && probe.writable(programDirectory))
    return portableFolders(Utf8ToGbk(programDirectory), '/');

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
  if (probe.windowsRules) return windowsAppData(probe) + "\\Fotolun\\cookies.txt";
  const std::string home = trimSeparators(variable(probe, "HOME"));
  return trimSeparators(absoluteOr(variable(probe, "XDG_CONFIG_HOME"), home + "/.config")) +
         "/fotolun/cookies.txt";
}

}  // namespace fotolun
