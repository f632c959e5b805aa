// What this machine charges for the files alone: PHOTOS files of BYTES each, saved the way the
// program saves a photo (a new temporary file written in 1 MB pieces, dated, flushed and dropped
// from the cache, a line appended to a record and flushed, the final name given without
// replacing, the folder flushed every 50 names), PAUSE_MS apart as the program's pauses keep
// them. Prints the CPU time per file, so that bench.sh can tell the program's own CPU from what
// any durable download of the same files costs here. Not part of the program or its tests.
//
//   fotolun-bench-files FOLDER PHOTOS BYTES PAUSE_MS [--no-flush]
//
// --no-flush leaves out every flush (and the cache drop that follows one): what the files cost
// on this machine before any durability.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

// The program's own writes go through its platform layer; this measures the system calls alone.
bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
    if (wrote <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
  return true;
}

double CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
  const bool flush = argc == 5;
  if (argc != 5 && (argc != 6 || std::string(argv[5]) != "--no-flush")) {
    std::fprintf(stderr, "usage: fotolun-bench-files FOLDER PHOTOS BYTES PAUSE_MS [--no-flush]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const long photos = std::atol(argv[2]);
  const std::size_t bytes = std::strtoull(argv[3], nullptr, 10);
  const auto pause = std::chrono::milliseconds(std::atol(argv[4]));
  const std::vector<char> piece(std::size_t{1} << 20, 'x');

  const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const int record = ::open((folder + "/.record").c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (folderFd < 0 || record < 0) {
    std::perror("fotolun-bench-files");
    return 1;
  }
  const double start = CpuMs();
  for (long i = 0; i < photos; ++i) {
    const std::string part = folder + "/.photo-" + std::to_string(i) + ".part";
    const std::string name = "photo_" + std::to_string(i) + ".jpg";
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    bool ok = fd >= 0;
    for (std::size_t left = bytes; ok && left > 0; left -= std::min(left, piece.size()))
      ok = writeAll(fd, std::string_view(piece.data(), std::min(left, piece.size())));
    const timespec times[2] = {{0, UTIME_OMIT}, {1546300800 + i, 0}};
    ok = ok && ::futimens(fd, times) == 0 && (!flush || ::fsync(fd) == 0);
    if (ok && flush) ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    if (fd >= 0) ::close(fd);
    const std::string line = "hd\tkey" + std::to_string(i) + "\t" + name + "\n";
    ok = ok && writeAll(record, line) && (!flush || ::fdatasync(record) == 0) &&
         ::renameat2(AT_FDCWD, part.c_str(), folderFd, name.c_str(), RENAME_NOREPLACE) == 0;
    if (flush && (i + 1) % 50 == 0) ::fsync(folderFd);
    if (!ok) {
      std::perror("fotolun-bench-files");
      return 1;
    }
    std::this_thread::sleep_for(pause);
  }
  if (flush) ::fsync(folderFd);
  std::printf("%.3f\n", (CpuMs() - start) / static_cast<double>(photos));
  return 0;
}
