// The platform layer's promises the rest of the program builds on, through its interface only, so
// that the same cases hold on either side of it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "platform/atomic_file.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/process.h"
#include "platform/system.h"

namespace fotolun::platform {
namespace {

namespace fs = std::filesystem;

class Scratch {
 public:
  Scratch()
      : path_(fs::temp_directory_path() / pathFromUtf8("fotolun-platform-" + std::to_string(processId()) +
                                                       "-" + std::to_string(next_++) + "-相册")) {
    fs::create_directories(systemPath(path_));
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(systemPath(path_), ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  static inline int next_ = 0;
  fs::path path_;
};

std::optional<std::string> contentOf(const fs::path& path) {
  std::ifstream in(systemPath(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
  File file = openFile(path, Opening::createPrivate);
  ASSERT_TRUE(file.ok() && writeAll(file, bytes) && file.close());
}

int filesIn(const fs::path& folder) {
  return static_cast<int>(listFolder(folder).value_or(std::vector<FolderEntry>()).size());
}

// Whatever happens to a replace, the name holds the old bytes or the new ones, and no temporary
// file stays beside it.
TEST(AtomicReplace, LeavesTheOldFileOrTheNewOneNeverAPieceOrATemporary) {
  struct Case {
    const char* name;
    std::optional<std::string> before;  // the file there first; nothing: none
    bool targetIsFolder;                // a folder holds the name: the rename cannot succeed
    bool ok;
  };
  const Case cases[] = {
      {"new file", std::nullopt, false, true},
      {"over an old file", std::string("old bytes, longer than the new"), false, true},
      {"over an empty file", std::string(), false, true},
      {"name held by a folder", std::nullopt, true, false},
  };
  const std::string fresh = "新的 bytes";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Scratch scratch;
    const fs::path target = scratch.path() / pathFromUtf8("相册.json");
    if (c.before) writeFile(target, *c.before);
    if (c.targetIsFolder) fs::create_directory(systemPath(target));
    EXPECT_EQ(replaceFile(target, fresh), c.ok);
    if (c.targetIsFolder) {
      EXPECT_TRUE(fs::is_directory(systemPath(target)));
    } else {
      EXPECT_EQ(contentOf(target), c.ok ? std::optional(fresh) : c.before);
    }
    EXPECT_EQ(filesIn(scratch.path()), 1);
  }
  const Scratch scratch;
  EXPECT_FALSE(replaceFile(scratch.path() / "missing" / "a.json", fresh));
  EXPECT_EQ(filesIn(scratch.path()), 0);
}

// The modification time a photo is dated with is the one the system then reports, to the second,
// and dating it leaves its bytes alone.
TEST(FileTimes, AFileCarriesTheTimeItIsGiven) {
  const Scratch scratch;
  const fs::path photo = scratch.path() / pathFromUtf8("照片.jpg");
  writeFile(photo, "\xFF\xD8 bytes");
  for (const std::time_t time : {std::time_t{1}, std::time_t{1551405600}, std::time_t{4102444800}}) {
    File file = openFile(photo, Opening::append);
    ASSERT_TRUE(setModifiedTime(file, time) && file.close()) << time;
    const auto written = fs::last_write_time(systemPath(photo));
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(
                  std::chrono::file_clock::to_sys(written).time_since_epoch())
                  .count(),
              time);
  }
  EXPECT_EQ(contentOf(photo), "\xFF\xD8 bytes");
  File none;
  EXPECT_FALSE(setModifiedTime(none, 1));
}

// A photo takes its final name only when no file or folder has it, and then leaves no other name.
TEST(Naming, ANameTakenIsNeverReplaced) {
  struct Case {
    const char* name;
    const char* existing;  // "file", "folder" or "" for none
    Naming result;
  };
  for (const Case& c : {Case{"free name", "", Naming::done}, Case{"a file has it", "file", Naming::nameTaken},
                        Case{"a folder has it", "folder", Naming::nameTaken}}) {
    SCOPED_TRACE(c.name);
    const Scratch scratch;
    const fs::path part = scratch.path() / ".photo.part", photo = scratch.path() / pathFromUtf8("照片.jpg");
    writeFile(part, "new");
    if (std::string(c.existing) == "file") writeFile(photo, "saved before");
    if (std::string(c.existing) == "folder") fs::create_directory(systemPath(photo));
    EXPECT_EQ(renameWithoutReplacing(part, photo), c.result);
    if (c.result == Naming::done) {
      EXPECT_EQ(contentOf(photo), "new");
      EXPECT_FALSE(fs::exists(systemPath(part)));
    } else {
      EXPECT_EQ(contentOf(part), "new");
      if (std::string(c.existing) == "file") {
        EXPECT_EQ(contentOf(photo), "saved before");
      }
    }
  }
}

// A record file appended to reads back whole, says when its name went, and a new file refuses a
// name taken.
TEST(Files, AppendReadBackAndNoticeARemovedName) {
  const Scratch scratch;
  const fs::path record = scratch.path() / ".record";
  File file = openFile(record, Opening::append);
  ASSERT_TRUE(file.ok() && writeAll(file, "one\n") && writeAll(file, "two\n") && flushData(file));
  std::string content;
  EXPECT_TRUE(readAll(file, content));
  EXPECT_EQ(content, "one\ntwo\n");
  EXPECT_TRUE(truncate(file, 4));
  EXPECT_EQ(stateOf(file)->size, 4u);
  EXPECT_FALSE(stateOf(file)->removed);
  EXPECT_FALSE(openFile(record, Opening::createNew).ok());
  EXPECT_TRUE(nameTaken());
  ASSERT_TRUE(removeFile(record));
  // Wine keeps no note of a name removed while the file is open (Windows does): there the check
  // would test Wine, not the program.
  if (!kWindows || !environmentVariable("WINEPREFIX")) {
    EXPECT_TRUE(stateOf(file)->removed);
  }
}

}  // namespace
}  // namespace fotolun::platform
