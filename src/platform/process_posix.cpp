#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/process.h"

namespace fotolun::platform {

int processId() { return static_cast<int>(::getpid()); }

bool processRunning(int pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH; }

std::optional<std::string> environmentVariable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::nullopt : std::optional<std::string>(value);
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::optional<std::filesystem::path> programFile() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::nullopt : std::optional<std::filesystem::path>(exe);
}

}  // namespace fotolun::platform
