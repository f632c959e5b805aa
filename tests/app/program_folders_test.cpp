#include "program/program_folders.h"

#include <gtest/gtest.h>

#include <map>

#include "text/encoding.h"

namespace fotolun {
namespace {

struct FolderCase {
  const char* name;
  const char* programDirectory;
  bool writable;
  std::map<std::string, std::string> variables;
  std::map<std::string, std::string> files;
  const char* settingsFile;  // UTF-8
  const char* saveFolder;
};

class ProgramFoldersTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFoldersTest, ChoosesWhereSettingsAndAlbumsGo) {
  const FolderCase& c = GetParam();
  FolderProbe probe{
      [&](const char* name) -> const char* {
        const auto found = c.variables.find(name);
        return found == c.variables.end() ? nullptr : found->second.c_str();
      },
      [&](const std::string&) { return c.writable; },
      [&](const std::string& path) -> std::optional<std::string> {
        const auto found = c.files.find(path);
        if (found == c.files.end()) return std::nullopt;
        return found->second;
      },
  };
  probe.windowsRules = false;
  const ProgramFolders folders = programFolders(c.programDirectory, probe);
  EXPECT_EQ(GbkToUtf8(folders.settingsFile), c.settingsFile);
  EXPECT_EQ(GbkToUtf8(folders.saveFolder), c.saveFolder);
  // The session fotolun-cli login keeps sits beside an installed copy's settings, wherever this copy lies.
  if (c.variables.count("FOTOLUN_SETTINGS") != 0) return;
  const std::string installedSettings = GbkToUtf8(programFolders("/usr/bin", probe).settingsFile);
  EXPECT_EQ(userCookieFile(probe),
            installedSettings.substr(0, installedSettings.rfind('/')) + "/cookies.txt");
}

const std::map<std::string, std::string> kHome = {{"HOME", "/home/me"}};
std::map<std::string, std::string> homeAnd(std::map<std::string, std::string> more) {
  more.insert(kHome.begin(), kHome.end());
  return more;
}

// Columns: case, program folder, writable by the user, environment, files, settings file, save folder.
INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramFoldersTest,
    ::testing::Values(
        // A copy that may write to its own folder keeps everything beside itself, whatever the user has.
        FolderCase{"Portable",
                   "/opt/相册",
                   true,
                   homeAnd({{"XDG_CONFIG_HOME", "/home/me/cfg"}}),
                   {},
                   "/opt/相册/peizi.ini",
                   "/opt/相册"},
        // Root may write to /usr/bin; an installed program there still keeps to root's own folders.
        FolderCase{"InstalledForRoot",
                   "/usr/bin",
                   true,
                   {{"HOME", "/root"}},
                   {},
                   "/root/.config/fotolun/peizi.ini",
                   "/root/Pictures/Fotolun"},
        FolderCase{"NothingSet",
                   "/opt/相册",
                   false,
                   kHome,
                   {},
                   "/home/me/.config/fotolun/peizi.ini",
                   "/home/me/Pictures/Fotolun"},
        FolderCase{"ConfigHome",
                   "/usr/local/bin",
                   false,
                   homeAnd({{"XDG_CONFIG_HOME", "/home/me/cfg/"}}),
                   {},
                   "/home/me/cfg/fotolun/peizi.ini",
                   "/home/me/Pictures/Fotolun"},
        // A relative config home is not one, by the base directory rules.
        FolderCase{"RelativeConfigHome",
                   "/usr/bin",
                   false,
                   homeAnd({{"XDG_CONFIG_HOME", "cfg"}}),
                   {},
                   "/home/me/.config/fotolun/peizi.ini",
                   "/home/me/Pictures/Fotolun"},
        FolderCase{"UserDirsFile",
                   "/usr/bin",
                   false,
                   kHome,
                   {{"/home/me/.config/user-dirs.dirs",
                     "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/桌面\"\n"
                     "XDG_PICTURES_DIR=\"$HOME/图片\"\n"}},
                   "/home/me/.config/fotolun/peizi.ini",
                   "/home/me/图片/Fotolun"},
        // The file is looked for in the config home; it overrides the environment, as in the shell.
        FolderCase{"UserDirsInConfigHomeOverEnvironment",
                   "/usr/bin",
                   false,
                   homeAnd({{"XDG_CONFIG_HOME", "/cfg"}, {"XDG_PICTURES_DIR", "/env/pics"}}),
                   {{"/cfg/user-dirs.dirs", "XDG_PICTURES_DIR=\"/srv/photos/\"\r\n"}},
                   "/cfg/fotolun/peizi.ini",
                   "/srv/photos/Fotolun"},
        FolderCase{"EnvironmentWithoutFile",
                   "/usr/bin",
                   false,
                   homeAnd({{"XDG_PICTURES_DIR", "/env/pics"}}),
                   {},
                   "/home/me/.config/fotolun/peizi.ini",
                   "/env/pics/Fotolun"},
        FolderCase{"FileWithoutPictures",
                   "/usr/bin",
                   false,
                   kHome,
                   {{"/home/me/.config/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/Music\"\n"}},
                   "/home/me/.config/fotolun/peizi.ini",
                   "/home/me/Pictures/Fotolun"},
        // Named outright it wins, portable or installed; a relative name is not one.
        FolderCase{"SettingsNamed",
                   "/opt/相册",
                   true,
                   homeAnd({{"FOTOLUN_SETTINGS", "/srv/one.ini"}}),
                   {},
                   "/srv/one.ini",
                   "/opt/相册"},
        FolderCase{"SettingsNamedRelative",
                   "/usr/bin",
                   false,
                   homeAnd({{"FOTOLUN_SETTINGS", "one.ini"}}),
                   {},
                   "/home/me/.config/fotolun/peizi.ini",
                   "/home/me/Pictures/Fotolun"}),
    [](const auto& info) { return std::string(info.param.name); });

// The same choice by the Windows rules: Program Files (or a folder the user may not write) is an
// installed copy, which keeps to %APPDATA% and the Pictures known folder.
TEST(ProgramFoldersOnWindows, ChoosesWhereSettingsAndAlbumsGo) {
  struct Case {
    const char* name;
    const char* programDirectory;
    bool writable;
    bool picturesKnown;
    const char* settingsFile;
    const char* saveFolder;
  };
  const std::map<std::string, std::string> variables = {{"APPDATA", "C:\\Users\\me\\AppData\\Roaming"},
                                                        {"USERPROFILE", "C:\\Users\\me"},
                                                        {"ProgramFiles", "C:\\Program Files"}};
  const Case cases[] = {
      {"Portable", "D:\\相册", true, true, "D:\\相册\\peizi.ini", "D:\\相册"},
      {"ProgramFilesForAnAdministrator", "c:/program files/Fotolun", true, true,
       "C:\\Users\\me\\AppData\\Roaming\\Fotolun\\peizi.ini", "E:\\图片\\Fotolun"},
      {"NotWritable", "D:\\只读", false, true, "C:\\Users\\me\\AppData\\Roaming\\Fotolun\\peizi.ini",
       "E:\\图片\\Fotolun"},
      {"NoKnownPictures", "C:\\Program Files\\Fotolun", false, false,
       "C:\\Users\\me\\AppData\\Roaming\\Fotolun\\peizi.ini", "C:\\Users\\me\\Pictures\\Fotolun"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FolderProbe probe{
        [&](const char* name) -> const char* {
          const auto found = variables.find(name);
          return found == variables.end() ? nullptr : found->second.c_str();
        },
        [&](const std::string&) { return c.writable; },
        [](const std::string&) -> std::optional<std::string> { return std::nullopt; },
        [&](platform::KnownFolder folder) -> std::optional<std::string> {
          if (folder == platform::KnownFolder::pictures && c.picturesKnown) return "E:\\图片\\";
          return std::nullopt;
        },
        true,
    };
    const ProgramFolders folders = programFolders(c.programDirectory, probe);
    EXPECT_EQ(GbkToUtf8(folders.settingsFile), c.settingsFile);
    EXPECT_EQ(GbkToUtf8(folders.saveFolder), c.saveFolder);
    EXPECT_EQ(userCookieFile(probe), "C:\\Users\\me\\AppData\\Roaming\\Fotolun\\cookies.txt");
  }
}

}  // namespace
}  // namespace fotolun
