#include "program/program_folders.h"

#include <gtest/gtest.h>

#include <map>

#include "text/encoding.h"

namespace fotolun {
namespace {

struct FolderCase {
  const char* name;
  bool writable;
  std::map<std::string, std::string> variables;
  std::map<std::string, std::string> files;
  const char* settingsFile;  // UTF-8
  const char* saveFolder;
};

class ProgramFoldersTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFoldersTest, ChoosesWhereSettingsAndAlbumsGo) {
  const FolderCase& c = GetParam();
  std::vector<std::string> askedToWrite;
  const FolderProbe probe{
      [&](const char* name) -> const char* {
        const auto found = c.variables.find(name);
        return found == c.variables.end() ? nullptr : found->second.c_str();
      },
      [&](const std::string& path) {
        askedToWrite.push_back(path);
        return c.writable;
      },
      [&](const std::string& path) -> std::optional<std::string> {
        const auto found = c.files.find(path);
        if (found == c.files.end()) return std::nullopt;
        return found->second;
      },
  };
  const ProgramFolders folders = programFolders("/opt/相册", probe);
  EXPECT_EQ(askedToWrite, std::vector<std::string>{"/opt/相册"});
  EXPECT_EQ(GbkToUtf8(folders.settingsFile), c.settingsFile);
  EXPECT_EQ(GbkToUtf8(folders.saveFolder), c.saveFolder);
}

const std::map<std::string, std::string> kHome = {{"HOME", "/home/me"}};
std::map<std::string, std::string> homeAnd(std::map<std::string, std::string> more) {
  more.insert(kHome.begin(), kHome.end());
  return more;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramFoldersTest,
    ::testing::Values(
        // A copy that may write to its own folder keeps everything beside itself, whatever the user has.
        FolderCase{"Portable",
                   true,
                   homeAnd({{"XDG_CONFIG_HOME", "/home/me/cfg"}}),
                   {},
                   "/opt/相册/peizi.ini",
                   "/opt/相册"},
        FolderCase{"NothingSet",
                   false,
                   kHome,
                   {},
                   "/home/me/.config/fotolun/peizi.ini",
                   "/home/me/Pictures/Fotolun"},
        FolderCase{"ConfigHome",
                   false,
                   homeAnd({{"XDG_CONFIG_HOME", "/home/me/cfg/"}}),
                   {},
                   "/home/me/cfg/fotolun/peizi.ini",
                   "/home/me/Pictures/Fotolun"},
        // A relative config home is not one, by the base directory rules.
        FolderCase{"RelativeConfigHome",
                   false,
                   homeAnd({{"XDG_CONFIG_HOME", "cfg"}}),
                   {},
                   "/home/me/.config/fotolun/peizi.ini",
                   "/home/me/Pictures/Fotolun"},
        FolderCase{"UserDirsFile",
                   false,
                   kHome,
                   {{"/home/me/.config/user-dirs.dirs",
                     "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/桌面\"\n"
                     "XDG_PICTURES_DIR=\"$HOME/图片\"\n"}},
                   "/home/me/.config/fotolun/peizi.ini",
                   "/home/me/图片/Fotolun"},
        // The file is looked for in the config home; it overrides the environment, as in the shell.
        FolderCase{"UserDirsInConfigHomeOverEnvironment",
                   false,
                   homeAnd({{"XDG_CONFIG_HOME", "/cfg"}, {"XDG_PICTURES_DIR", "/env/pics"}}),
                   {{"/cfg/user-dirs.dirs", "XDG_PICTURES_DIR=\"/srv/photos/\"\r\n"}},
                   "/cfg/fotolun/peizi.ini",
                   "/srv/photos/Fotolun"},
        FolderCase{"EnvironmentWithoutFile",
                   false,
                   homeAnd({{"XDG_PICTURES_DIR", "/env/pics"}}),
                   {},
                   "/home/me/.config/fotolun/peizi.ini",
                   "/env/pics/Fotolun"},
        FolderCase{"FileWithoutPictures",
                   false,
                   kHome,
                   {{"/home/me/.config/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/Music\"\n"}},
                   "/home/me/.config/fotolun/peizi.ini",
                   "/home/me/Pictures/Fotolun"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fotolun
