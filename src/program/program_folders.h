#pragma once
// Where the program keeps its settings file and where it saves albums by default. A copy that may
// write to its own folder keeps both there, so it travels as one folder; an installed copy (its
// folder belongs to the system) uses the user's folders instead. A copy in the system's own
// folders (/usr/..., /bin, /sbin) counts as installed even for root, who could write there.
#include <functional>
#include <optional>
#include <string>

#include "platform/folders.h"
#include "platform/system.h"
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
  // The shell's known folders, on Windows; nothing elsewhere.
  std::function<std::optional<std::string>(platform::KnownFolder)> knownFolder = [](platform::KnownFolder) {
    return std::nullopt;
  };
  // Whose rules the choice follows: the system's own, unless a test asks for the other's.
  bool windowsRules = platform::kWindows;
};
FolderProbe systemFolderProbe();

// Both in programDirectory, the settings file's name joined by separator.
ProgramFolders portableFolders(const Text& programDirectory, char separator = platform::kFolderSeparator);

// programDirectory is UTF-8. When it is installed: $XDG_CONFIG_HOME/fotolun/peizi.ini (else
// ~/.config/...) and <pictures>/Fotolun, the pictures folder being what xdg-user-dir PICTURES
// reports (user-dirs.dirs, then $XDG_PICTURES_DIR), else ~/Pictures. $FOTOLUN_SETTINGS, an
// absolute path, names the settings file wherever the program lies.
// By the Windows rules a copy counts as installed under Program Files or where it may not write,
// and then keeps %APPDATA%\Fotolun\peizi.ini and <Pictures known folder>\Fotolun.
ProgramFolders programFolders(const std::string& programDirectory,
                              const FolderProbe& probe = systemFolderProbe());

// Where fotolun-cli login keeps the session and the other commands look for it: UTF-8,
// $XDG_CONFIG_HOME/fotolun/cookies.txt (else ~/.config/...), or by the Windows rules
// %APPDATA%\Fotolun\cookies.txt, wherever the program itself lies.
std::string userCookieFile(const FolderProbe& probe = systemFolderProbe());

}  // namespace fotolun
