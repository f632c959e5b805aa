#pragma once
// Runs the real fotolun-cli binary and collects what it printed.
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fotolun::testing {

struct CliResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// The fotolun-cli under test: the build's own, or the program FOTOLUN_CLI_PATH names, started
// through FOTOLUN_CLI_LAUNCHER when that is set (scripts/windows/wine-run.sh runs the Windows
// build's fotolun-cli.exe under Wine, so the same cases hold it to the same behaviour).
struct CliProgram {
  std::string launcher;  // empty: the program is started as it is
  std::string program;
  bool windows = false;  // a .exe: it takes and prints Windows paths and reads Windows variables
};
const CliProgram& cliProgram();

// path as the program under test is told it and prints it: as it is on Linux; under Wine, on the
// drive Z: that Wine maps the Linux root to (/tmp/a/b is Z:\tmp\a\b).
std::string programPath(const std::filesystem::path& path);

// Where the program under test looks for the user's session when no --cookies is given, with
// configHome as XDG_CONFIG_HOME on Linux. Wine sets %APPDATA% itself, to the Wine prefix's own
// folder, whatever the environment says: a Windows program's file is there.
std::filesystem::path userCookieFileOfProgram(const std::filesystem::path& configHome);

// Under Wine, says on the test's output that a part of a case is left out there and why, and
// returns true; elsewhere returns false.
bool leftOutUnderWine(const std::string& what, const std::string& why);

// Runs fotolun-cli with args; while it runs, whileRunning (if given) is called every 20 ms with the
// child's pid and what it printed so far, and may signal it. For a Windows program, arguments that
// are absolute Linux paths (or end in one after "firefox:") and the path variables the program
// reads are handed over as programPath gives them, and XDG_CONFIG_HOME becomes APPDATA, which
// the Windows rules read in its place.
CliResult runCli(const std::vector<std::string>& args,
                 const std::function<void(int pid, const std::string& outSoFar)>& whileRunning = nullptr);

// Runs another copy of the program under test (one unpacked from the Windows zip, say), started
// as the program under test is.
CliResult runCliCopy(const std::string& program, const std::vector<std::string>& args);
// Runs this build's own fotolun-cli as it is, whatever program the tests are pointed at.
CliResult runBuiltCli(const std::vector<std::string>& args);

// fotolun-cli as a user whom file permissions bind: nobody when the tests run as root, else the
// tests' own user. Another user may not reach the build tree (a checkout under a folder only its
// owner may enter), so it runs a copy kept in a folder of that user's own under /tmp, which is also
// its home and current folder: nothing of the checkout or of the caller's home is in its way.
class UnprivilegedCli {
 public:
  UnprivilegedCli();
  ~UnprivilegedCli();
  UnprivilegedCli(const UnprivilegedCli&) = delete;
  UnprivilegedCli& operator=(const UnprivilegedCli&) = delete;

  // Why such a run cannot be arranged here, for GTEST_SKIP; empty when it can.
  const std::string& unavailable() const { return unavailable_; }
  const std::filesystem::path& folder() const { return folder_; }
  // Hands path and what lies below it to the user, as if that user had made them.
  void own(const std::filesystem::path& path) const;
  CliResult run(const std::vector<std::string>& args) const;

 private:
  std::string unavailable_;
  std::filesystem::path folder_;
  std::filesystem::path program_;
  bool switchUser_ = false;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
};

}  // namespace fotolun::testing
