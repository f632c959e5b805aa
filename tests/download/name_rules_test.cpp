// Names on disk under both rule sets, for one matrix of names: the Linux names are the ones
// earlier runs gave (backups keep their folders), the Windows names are ones Windows takes as they
// are, and a name both systems take is the same under both.
#include <gtest/gtest.h>

#include <string>

#include "names/path_names.h"
#include "names/windows_names.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

struct NameCase {
  const char* name;     // UTF-8, as the service gives it
  const char* posix;    // the folder on Linux
  const char* windows;  // the folder on Windows
  const char* photo;    // the photo file on Windows (name_1_2.jpg)
};

constexpr NameCase kNames[] = {
    {"我的相册", "我的相册", "我的相册", "我的相册_1_2.jpg"},
    {"旅行😀", "旅行?", "旅行", "旅行_1_2.jpg"},  // the emoji is "?" in 936 already
    {"a\\b/c", "abc", "abc", "abc_1_2.jpg"},
    {"问题:为何?", "问题:为何?", "问题为何", "问题为何_1_2.jpg"},
    {"*\"<>|", "*\"<>|", "", "_1_2.jpg"},
    {"tab\tbell\x07", "tabbell", "tabbell", "tabbell_1_2.jpg"},
    {"\xE4\xB9\x97\xE6\x99\x90|", "\xE4\xB9\x97\xE6\x99\x90|", "\xE4\xB9\x97\xE6\x99\x90",
     "\xE4\xB9\x97\xE6\x99\x90_1_2.jpg"},  // 乗晐: trail bytes "\" and "|" stay
    {"旅行.", "旅行.", "旅行", "旅行._1_2.jpg"},
    {"旅行 . ", "旅行 . ", "旅行", "旅行 . _1_2.jpg"},
    {"旅行\xE3\x80\x80", "旅行\xE3\x80\x80", "旅行\xE3\x80\x80", "旅行\xE3\x80\x80_1_2.jpg"},  // full-width
    {"..", "_..", "_", ".._1_2.jpg"},
    {".hidden", ".hidden", ".hidden", ".hidden_1_2.jpg"},
    {"CON", "CON", "_CON", "CON_1_2.jpg"},
    {"con.txt", "con.txt", "_con.txt", "_con.txt_1_2.jpg"},  // the part before the first dot counts
    {"Nul.tar.gz", "Nul.tar.gz", "_Nul.tar.gz", "_Nul.tar.gz_1_2.jpg"},
    {"prn ", "prn ", "_prn", "prn _1_2.jpg"},
    {"aux .x", "aux .x", "_aux .x", "_aux .x_1_2.jpg"},
    {"com1", "com1", "_com1", "com1_1_2.jpg"},
    {"LPT9", "LPT9", "_LPT9", "LPT9_1_2.jpg"},
    {"CONOUT$", "CONOUT$", "_CONOUT$", "CONOUT$_1_2.jpg"},
    {"COM0", "COM0", "COM0", "COM0_1_2.jpg"},
    {"COM10", "COM10", "COM10", "COM10_1_2.jpg"},
    {"CONSOLE", "CONSOLE", "CONSOLE", "CONSOLE_1_2.jpg"},
    {"NUL旅行", "NUL旅行", "NUL旅行", "NUL旅行_1_2.jpg"},
};

TEST(DiskNameRules, EachNameUnderBothRules) {
  for (const NameCase& c : kNames) {
    const Text name = Utf8ToGbk(c.name);
    EXPECT_EQ(GbkToUtf8(folderComponent(name, NameRules::posix)), c.posix) << c.name;
    EXPECT_EQ(GbkToUtf8(folderComponent(name, NameRules::windows)), c.windows) << c.name;
    EXPECT_EQ(GbkToUtf8(photoFileName(name, 1, 2, 0, ".jpg", NameRules::windows)), c.photo) << c.name;
    EXPECT_EQ(photoFileName(name, 1, 2, 0, ".jpg", NameRules::posix), name + "_1_2.jpg") << c.name;
    // The album's folder: the name and the count as one component.
    EXPECT_EQ(GbkToUtf8(albumFolderName(name, "58", NameRules::posix)), std::string(c.posix) + "58")
        << c.name;
    const std::string windowsAlbum = GbkToUtf8(albumFolderName(name, "58", NameRules::windows));
    EXPECT_EQ(windowsNameComponent(Utf8ToGbk(windowsAlbum)), Utf8ToGbk(windowsAlbum)) << c.name;
    if (std::string(c.posix) == c.windows) {
      EXPECT_EQ(windowsAlbum, std::string(c.windows) + "58") << c.name;
    }
  }
}

// Linux counts a name in UTF-8 bytes (three a Chinese character), Windows in UTF-16 units (one).
TEST(DiskNameRules, LongNamesAreCutToEachSystemsLimit) {
  const Text character = Utf8ToGbk("照");
  Text title;
  for (int i = 0; i < 300; ++i) title += character;
  struct Limit {
    NameRules rules;
    std::size_t albumCharacters;  // of the title, before the count "58"
    std::size_t photoCharacters;  // of the title, before "_37_1999_2.jpg"
  };
  for (const Limit& limit : {Limit{NameRules::posix, 84, 80}, Limit{NameRules::windows, 253, 241}}) {
    const Text album = albumFolderName(title, "58", limit.rules);
    EXPECT_EQ(album, title.substr(0, 2 * limit.albumCharacters) + "58");
    const Text photo = photoFileName(title, 37, 1999, 2, ".jpg", limit.rules);
    EXPECT_EQ(photo, title.substr(0, 2 * limit.photoCharacters) + "_37_1999_2.jpg");
    EXPECT_LE(diskNameLength(photo, limit.rules), kMaxNameLength);
  }
  // A name that fits both is the same under both.
  const Text fits = title.substr(0, 2 * 80);
  EXPECT_EQ(albumFolderName(fits, "58", NameRules::windows), albumFolderName(fits, "58", NameRules::posix));
  // A device name made longer by its "_" is cut again, and what it ends in is looked at again.
  const Text device = "CON." + std::string(250, 'x') + ". ";
  EXPECT_EQ(folderComponent(device, NameRules::windows), "_CON." + std::string(250, 'x'));
}

}  // namespace
}  // namespace fotolun
