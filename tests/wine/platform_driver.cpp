// The platform layer's Windows side against the real system calls, run under Wine (see
// scripts/wine-platform.sh): the paths, files, folders, process and console calls the program
// makes, through the same interface the POSIX side's tests use. Prints one line per check and
// exits 1 when one fails. Built with mingw-w64 outside the project's CMake build.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "download/download_archive.h"
#include "download/part_file.h"
#include "platform/atomic_file.h"
#include "platform/console.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/path.h"
#include "platform/process.h"
#include "program/program_folders.h"
#include "text/encoding.h"

namespace fotolun {
// The code page conversion has a Windows side of its own; the folder rule only passes texts
// through it, so UTF-8 stands in for GBK here.
Text Utf8ToGbk(std::string_view utf8) { return Text(utf8); }
std::string GbkToUtf8(std::string_view gbk) { return std::string(gbk); }
}  // namespace fotolun

namespace {

namespace fs = std::filesystem;
using namespace fotolun;

int failures = 0;

void check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  if (!ok) ++failures;
}

std::string readBack(const fs::path& path) {
  std::ifstream in(platform::systemPath(path), std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

// std::filesystem's directory_iterator sees nothing past 260 characters, even under \\?\, and
// remove_all does not come back from such a tree (libstdc++ 12 on mingw): the layer lists folders.
void removeTree(const fs::path& folder) {
  for (const auto& entry : platform::listFolder(folder).value_or(std::vector<platform::FolderEntry>())) {
    const fs::path path = folder / platform::pathFromUtf8(entry.name);
    if (entry.folder) {
      removeTree(path);
    } else {
      platform::removeFile(path);
    }
  }
  RemoveDirectoryW(platform::systemPath(folder).c_str());
}

DWORD attributesOf(const fs::path& path) { return GetFileAttributesW(platform::systemPath(path).c_str()); }

}  // namespace

int main(int argc, char** argv) {
  const platform::Utf8Console console;
  const std::string chinese = "相册 照片";
  check(platform::utf8OfPath(platform::pathFromUtf8(chinese)) == chinese, "UTF-8 path round trip");
  check(platform::pathFromUtf8(chinese).native() == L"相册 照片", "UTF-8 path is UTF-16 inside");

  const std::vector<std::string> arguments = platform::commandLineArguments(argc, argv);
  check(arguments.size() == 1 && arguments[0] == "参数 一", "arguments from the UTF-16 command line");

  const fs::path temp = fs::temp_directory_path() / platform::pathFromUtf8("fotolun-platform-" + chinese);
  std::error_code error;
  removeTree(platform::systemPath(temp));
  fs::create_directories(temp, error);
  check(!error && platform::folderWritable(platform::utf8OfPath(temp)), "a temporary folder is writable");
  check(!platform::folderWritable(platform::utf8OfPath(temp / "missing")), "a missing folder is not");

  // Past 260 characters: album folders under a deep save folder.
  fs::path deep = temp;
  for (int level = 0; level < 6; ++level)
    deep /= platform::pathFromUtf8(std::string(60, 'a' + level) + "相册");
  const fs::path longFolder = platform::systemPath(deep);
  check(longFolder.native().starts_with(L"\\\\?\\") && deep.native().size() > 300,
        "a long path takes \\\\?\\");
  fs::create_directories(longFolder, error);
  check(!error && fs::is_directory(longFolder, error), "create_directories past 260 characters");
  check(platform::systemPath(fs::path(L"相册\\照片")).native() == L"相册\\照片",
        "a relative path stays as it is");

  // A part file: hidden while written, dated, named without replacing.
  const std::string folder = platform::utf8OfPath(deep);
  {
    std::optional<PartFile> part = PartFile::create(folder);
    check(part.has_value(), "a part file in the long folder");
    check(part && (attributesOf(platform::pathFromUtf8(part->path())) & FILE_ATTRIBUTE_HIDDEN) != 0,
          "the part file is hidden");
    const std::time_t shot = 1551405600;
    check(part && part->append("jpeg bytes") && part->finish(shot), "written and flushed");
    check(part && part->moveTo("照片.jpg") == PartFile::Move::done, "named");
    const fs::path photo = deep / platform::pathFromUtf8("照片.jpg");
    check(readBack(photo) == "jpeg bytes", "the photo holds its bytes");
    check((attributesOf(photo) & FILE_ATTRIBUTE_HIDDEN) == 0, "the photo is not hidden");
    const auto written = fs::last_write_time(platform::systemPath(photo), error);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::file_clock::to_sys(written).time_since_epoch());
    check(!error && seconds.count() == shot, "the photo carries the shooting time");
    std::optional<PartFile> second = PartFile::create(folder);
    check(second && second->write("other") && second->moveTo("照片.jpg") == PartFile::Move::nameTaken,
          "a taken name is refused");
    check(readBack(photo) == "jpeg bytes", "the photo saved first stays");
  }
  int left = 0, photos = 0;
  const auto entries = platform::listFolder(longFolder);
  for (const auto& entry : entries.value_or(std::vector<platform::FolderEntry>())) {
    left += entry.name.ends_with(".part") ? 1 : 0;
    photos += entry.name == "照片.jpg" ? 1 : 0;
  }
  check(!error && photos == 1 && left == 0, "no part file left behind (" + std::to_string(photos) +
                                                " photo, " + std::to_string(left) + " part files" +
                                                (error ? ", " + error.message() : std::string()) + ")");

  // The album's record: hidden, appended to, found again.
  {
    auto archive = DownloadArchive::open(deep, "album-1");
    check(archive.has_value(), "the album record opens");
    check(archive && archive->record(PhotoIdentity{CopyKind::hd, "key"}, "照片.jpg"), "a photo recorded");
    if (archive) archive->closeFile();
    check((attributesOf(deep / kArchiveFileName) & FILE_ATTRIBUTE_HIDDEN) != 0, "the album record is hidden");
    check(DownloadArchive::albumIdOf(deep) == "album-1", "the record names its album");
    auto again = DownloadArchive::open(deep, "album-1");
    check(again && again->savedFile(PhotoIdentity{CopyKind::hd, "key"}) == "照片.jpg",
          "the record read back");
  }

  // Replaced whole, over a file that exists, in the long folder.
  const fs::path page = deep / "index.html";
  check(replaceFile(page, "old") && replaceFile(page, "new") && readBack(page) == "new", "atomic replace");

  // A file whose name goes while it is open.
  {
    const fs::path gone = temp / "gone.txt";
    platform::File file = platform::openFile(gone, platform::Opening::append);
    check(file.ok() && platform::writeAll(file, "a\n") && platform::writeAll(file, "b\n"), "appended");
    check(platform::stateOf(file) && platform::stateOf(file)->size == 4, "its size");
    platform::File again = platform::openFile(gone, platform::Opening::createNew);
    check(!again.ok() && platform::nameTaken(), "a new file under a taken name is refused");
    const bool removed = platform::removeFile(gone);
    const auto state = platform::stateOf(file);
    check(removed && state, "removed while open");
    // Wine reports neither a pending delete nor a link count of 0 for it; Windows does.
    std::printf("note the removed file %s\n",
                state && state->removed ? "says it is gone" : "does not say it is gone");
  }

  check(platform::processRunning(platform::processId()), "this process runs");
  check(!platform::processRunning(0x7ffffff0), "a process that is not");
  SetEnvironmentVariableW(L"FOTOLUN_PROBE", L"值");
  check(platform::environmentVariable("FOTOLUN_PROBE") == "值", "an environment variable in UTF-8");
  check(!platform::environmentVariable("FOTOLUN_UNSET_PROBE"), "an unset variable");
  const auto exe = platform::programFile();
  check(exe && platform::utf8OfPath(exe->filename()) == "platform_driver.exe", "the program's own file");

  const auto pictures = platform::knownFolder(platform::KnownFolder::pictures);
  const auto appData = platform::knownFolder(platform::KnownFolder::roamingAppData);
  check(pictures && !pictures->empty() && appData && !appData->empty(), "the known folders");
  const ProgramFolders portable = programFolders(platform::utf8OfPath(temp));
  check(GbkToUtf8(portable.settingsFile) == platform::utf8OfPath(temp) + "\\peizi.ini",
        "portable beside itself");
  const std::string appDataVariable = platform::environmentVariable("APPDATA").value_or("");
  const ProgramFolders installed = programFolders(platform::utf8OfPath(temp / "missing"));
  check(GbkToUtf8(installed.settingsFile) == appDataVariable + "\\Fotolun\\peizi.ini" &&
            GbkToUtf8(installed.saveFolder) == *pictures + "\\Fotolun",
        "installed: " + GbkToUtf8(installed.settingsFile) + " and " + GbkToUtf8(installed.saveFolder));
  check(userCookieFile() == appDataVariable + "\\Fotolun\\cookies.txt",
        "the cookie file: " + userCookieFile());

  check(!platform::isTerminal(stdout), "stdout through a pipe is no terminal");

  removeTree(platform::systemPath(temp));
  check(!fs::exists(platform::systemPath(temp), error), "the long folders removed");
  std::printf("%d failed\n", failures);
  return failures == 0 ? 0 : 1;
}
