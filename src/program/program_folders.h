#pragma once
// Where the program keeps its settings file and where it saves albums by default. A copy that may
// write to its own folder keeps both there, so it travels as one folder; an installed copy (its
// folder belongs to the system) uses the user's folders instead. A copy in the system's own
// folders (/usr/..., /bin, /sbin) counts as installed even for root, who could write there.
#include <functional>
#include <optional>
#include <string>

#include "text/gbk_text.h"

namespace fotolun {

inline constexpr const char* kSettingsFileName = "peizi.ini";

struct ProgramFolders {
  Text settingsFile;  // GBK
  Text saveFolder;    // GBK, the save box's text at start; no trailing separator
  // saveFolder was named for this run (--save): the folder the settings file remembers does not
  // replace it.
  bool saveFolderGiven = false;
};

// What the choice looks at; tests pass their own.
struct FolderProbe {
  std::function<const char*(const char*)> variable;                    // environment variable
  std::function<bool(const std::string&)> writable;                    // may the user write there?
  std::function<std::optional<std::string>(const std::string&)> read;  // a whole file, if readable
};
FolderProbe systemFolderProbe();

// Both in programDirectory.
ProgramFolders portableFolders(const Text& programDirectory);

// programDirectory is UTF-8. When it is installed: $XDG_CONFIG_HOME/fotolun/peizi.ini (else
// ~/.config/...) and <pictures>/Fotolun, the pictures folder being what xdg-user-dir PICTURES
// reports (user-dirs.dirs, then $XDG_PICTURES_DIR), else ~/Pictures. $FOTOLUN_SETTINGS, an
// absolute path, names the settings file wherever the program lies.
ProgramFolders programFolders(const std::string& programDirectory,
                              const FolderProbe& probe = systemFolderProbe());

// Where fotolun-cli login keeps the session and the other commands look for it: UTF-8,
// $XDG_CONFIG_HOME/fotolun/cookies.txt (else ~/.config/...), wherever the program itself lies.
std::string userCookieFile(const FolderProbe& probe = systemFolderProbe());

}  // namespace fotolun
