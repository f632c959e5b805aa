#pragma once
// Runs the real fotolun-cli binary and collects what it printed.
#include <functional>
#include <string>
#include <vector>

namespace fotolun::testing {

struct CliResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs fotolun-cli with args; while it runs, whileRunning (if given) is called every 20 ms with the
// child's pid and what it printed so far, and may signal it. asUnprivileged runs it as the user
// nobody when the tests run as root, so that file permissions bind it.
CliResult runCli(const std::vector<std::string>& args,
                 const std::function<void(int pid, const std::string& outSoFar)>& whileRunning = nullptr,
                 bool asUnprivileged = false);

}  // namespace fotolun::testing
