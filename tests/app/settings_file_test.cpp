#include "app/settings_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "app/parallel_setting.h"
#include "app_fixtures.h"

namespace fotolun {
namespace {

using testing::gbk;
using testing::readBytes;
using testing::ScratchFolder;
using testing::writeBytes;

class SettingsFileTest : public ::testing::Test {
 protected:
  Text path() const { return settingsFilePath(folder.dir()); }
  std::filesystem::path diskPath() const { return folder.file("peizi.ini"); }
  Text read(std::string_view section, std::string_view key, std::string_view fallback = "none") const {
    return readProfileString(path(), gbk(section), gbk(key), gbk(fallback));
  }
  bool write(std::string_view section, std::string_view key, std::string_view value) {
    return writeProfileString(path(), gbk(section), gbk(key), gbk(value));
  }

  ScratchFolder folder;
};

TEST_F(SettingsFileTest, LivesBesideTheProgram) {
  EXPECT_EQ(settingsFilePath("/opt/fotolun"), "/opt/fotolun/peizi.ini");
}

TEST_F(SettingsFileTest, MissingFileSectionOrKeyGivesTheFallbackWithoutTrailingBlanks) {
  EXPECT_EQ(read("下载模式", "模式", "高清"), gbk("高清"));
  EXPECT_EQ(read("下载模式", "模式", "高清  "), gbk("高清"));
  writeBytes(diskPath(), gbk("[其他]\r\n模式=原图\r\n[下载模式]\r\n别的=原图\r\n"));
  EXPECT_EQ(read("下载模式", "模式", "高清"), gbk("高清"));
  EXPECT_EQ(read("不存在", "模式", "高清"), gbk("高清"));
}

TEST_F(SettingsFileTest, TheWindowsParallelPhotosAreOneUnlessTheFileSaysOneToEight) {
  EXPECT_EQ(readParallelPhotos(path()), 1) << "no file";
  const std::pair<const char*, int> cases[] = {{"4", 4},  {" 8 ", 8}, {"1", 1}, {"0", 1}, {"9", 1},
                                               {"-2", 1}, {"3x", 1},  {"", 1},  {"四", 1}};
  for (const auto& [value, streams] : cases) {
    writeBytes(diskPath(), gbk(std::string("[下载模式]\r\n模式=高清\r\n同时下载=") + value + "\r\n"));
    EXPECT_EQ(readParallelPhotos(path()), streams) << value;
  }
}

TEST_F(SettingsFileTest, ReadsAsTheProfileFunctionsDo) {
  writeBytes(diskPath(),
             "; written by hand\n"
             "  [ Mode ]  \n"
             "  Size  =  large value \t\r\n"
             "quoted=\"  kept  \"\r\n"
             "single='x'\r\n"
             "empty=\r\n"
             "[next]\r\n"
             "size=other\r\n");
  EXPECT_EQ(read("mode", "SIZE"), "large value");
  EXPECT_EQ(read("MODE", "quoted"), "  kept  ");
  EXPECT_EQ(read("mode", "single"), "x");
  EXPECT_EQ(read("mode", "empty"), "");
  EXPECT_EQ(read("Next", "Size"), "other");
  EXPECT_EQ(read("mode", "; written by hand"), "none");
}

TEST_F(SettingsFileTest, FoldsCaseOnlyOfAsciiLettersNotOfDoubleByteCharacters) {
  // Two different characters whose trail bytes happen to be 'A' and 'a'.
  const Text upper = "\x81\x41";
  const Text lower = "\x81\x61";
  writeBytes(diskPath(), "[s]\r\n" + upper + "=first\r\n");
  EXPECT_EQ(readProfileString(path(), "S", upper, "none"), "first");
  EXPECT_EQ(readProfileString(path(), "s", lower, "none"), "none");
}

TEST_F(SettingsFileTest, WritingCreatesTheFileWithCrLfLines) {
  EXPECT_TRUE(write("下载模式", "模式", "原图"));
  EXPECT_EQ(readBytes(diskPath()), gbk("[下载模式]\r\n模式=原图\r\n"));
}

TEST_F(SettingsFileTest, WritingReplacesTheKeyInPlaceAndKeepsEverythingElse) {
  const std::string before =
      gbk("; 注释\n[其他]\nA=1\n\n[下载模式]\r\n  模式 = 高清\r\n后面=2\n\n[末尾]\nB=3");
  writeBytes(diskPath(), before);
  EXPECT_TRUE(write("下载模式", "模式", "原图"));
  EXPECT_EQ(readBytes(diskPath()),
            gbk("; 注释\n[其他]\nA=1\n\n[下载模式]\r\n模式=原图\r\n后面=2\n\n[末尾]\nB=3"));
}

TEST_F(SettingsFileTest, WritingAddsAMissingKeyAtTheEndOfItsSection) {
  writeBytes(diskPath(), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2");
  EXPECT_TRUE(write("a", "z", "3"));
  EXPECT_EQ(readBytes(diskPath()), "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2");
  EXPECT_TRUE(write("B", "w", "4"));
  EXPECT_EQ(readBytes(diskPath()), "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\nw=4\r\n");
  EXPECT_EQ(read("A", "z"), "3");
}

TEST_F(SettingsFileTest, WritingAppendsAMissingSection) {
  writeBytes(diskPath(), "[A]\r\nx=1");
  EXPECT_TRUE(write("下载模式", "模式", "高清"));
  EXPECT_EQ(readBytes(diskPath()), gbk("[A]\r\nx=1\r\n[下载模式]\r\n模式=高清\r\n"));
}

TEST_F(SettingsFileTest, WritingLeavesNoTemporaryFileAndKeepsPermissions) {
  writeBytes(diskPath(), "[A]\r\nx=1\r\n");
  ASSERT_EQ(::chmod(diskPath().c_str(), 0600), 0);
  EXPECT_TRUE(write("A", "x", "2"));
  EXPECT_EQ(folder.names(), std::vector<std::string>{"peizi.ini"});
  struct stat info {};
  ASSERT_EQ(::stat(diskPath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(SettingsFileTest, AFailedWriteIsReportedAndLeavesNoTemporaryFile) {
  std::filesystem::create_directory(diskPath());
  EXPECT_FALSE(write("A", "x", "1"));
  EXPECT_EQ(folder.names(), std::vector<std::string>{"peizi.ini"});
  EXPECT_FALSE(writeProfileString(folder.dir() + "/missing/peizi.ini", "A", "x", "1"));
}

TEST_F(SettingsFileTest, AFailedWriteLeavesTheOldFileWhole) {
  writeBytes(diskPath(), "[A]\r\nx=1\r\n");
  // A full disk, as even root meets it: no file may grow past 4 bytes while the write runs.
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit tiny = old;
  tiny.rlim_cur = 4;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
  const bool written = write("A", "x", "2");
  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(written);
  EXPECT_EQ(readBytes(diskPath()), "[A]\r\nx=1\r\n");
  EXPECT_EQ(folder.names(), std::vector<std::string>{"peizi.ini"});
}

}  // namespace
}  // namespace fotolun
