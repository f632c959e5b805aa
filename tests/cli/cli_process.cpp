#include "cli_process.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string_view>

extern char** environ;

namespace fotolun::testing {

namespace fs = std::filesystem;

namespace {

void drain(int fd, std::string* into, bool* open) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      into->append(buffer, static_cast<std::size_t>(n));
      continue;
    }
    if (n == 0) *open = false;
    return;
  }
}

// Who runs the program, from where; null: the tests' own process as it is.
struct Account {
  bool switchUser;
  uid_t uid;
  gid_t gid;
  std::string folder;
};

bool becomeUser(const Account& account) {
  return !account.switchUser ||
         (setgroups(0, nullptr) == 0 && setgid(account.gid) == 0 && setuid(account.uid) == 0);
}

void say(const std::string& text) {
  const ssize_t ignored = write(STDERR_FILENO, text.data(), text.size());
  (void)ignored;
}

void give(const fs::path& path, const Account& account) {
  if (account.switchUser && lchown(path.c_str(), account.uid, account.gid) != 0)
    throw std::runtime_error("cannot hand " + path.string() + " to nobody: " + std::strerror(errno));
}

// A sanitizer reads the suppressions file its options name as the program starts, and test.sh
// names one in the checkout: the account gets a copy of its own. options is NAME=value.
std::string withSuppressionsCopied(const std::string& options, const Account& account) {
  const std::size_t equals = options.find('=');
  std::string out = options.substr(0, equals + 1);
  for (std::size_t start = equals + 1; start <= options.size();) {
    const std::size_t end = std::min(options.find_first_of(" ,:\t\n", start), options.size());
    std::string item = options.substr(start, end - start);
    constexpr std::string_view key = "suppressions=";
    if (item.starts_with(key)) {
      const fs::path copy = fs::path(account.folder) / (options.substr(0, equals) + ".supp");
      fs::copy_file(fs::absolute(item.substr(key.size())), copy, fs::copy_options::overwrite_existing);
      give(copy, account);
      item = std::string(key) + copy.string();
    }
    out += item;
    if (end < options.size()) out += options[end];
    start = end + 1;
  }
  return out;
}

// The caller's environment, save what would lead the program to the caller's own folders.
std::vector<std::string> environmentFor(const Account& account) {
  std::vector<std::string> out;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string item = *entry;
    if (item.starts_with("HOME=") || item.starts_with("TMPDIR=") || item.starts_with("XDG_")) continue;
    const std::size_t equals = item.find('=');
    const bool sanitizer = equals != std::string::npos && item.substr(0, equals).ends_with("SAN_OPTIONS");
    out.push_back(sanitizer ? withSuppressionsCopied(item, account) : item);
  }
  out.push_back("HOME=" + account.folder);
  return out;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (std::string& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

std::string windowsArgument(const std::string& arg) {
  if (arg.starts_with("/")) return programPath(arg);
  constexpr std::string_view firefox = "firefox:/";
  if (arg.starts_with(firefox)) return "firefox:" + programPath(arg.substr(firefox.size() - 1));
  return arg;
}

// The caller's environment as the Windows program should see it.
std::vector<std::string> windowsEnvironment() {
  std::vector<std::string> out;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string item = *entry;
    const std::size_t equals = item.find('=');
    const std::string name = item.substr(0, equals), value = item.substr(equals + 1);
    if (name == "XDG_CONFIG_HOME") {
      out.push_back("APPDATA=" + programPath(value));
    } else if ((name == "FOTOLUN_SETTINGS" || name == "FOTOLUN_CA_FILE") && value.starts_with("/")) {
      out.push_back(name + "=" + programPath(value));
    } else if (name != "APPDATA") {
      out.push_back(item);
    }
  }
  return out;
}

CliResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::function<void(int pid, const std::string& outSoFar)>& whileRunning,
                     const Account* account, const CliProgram& tested = cliProgram()) {
  // All that the child needs is made before the fork: the tests' process has threads.
  const bool launched = account == nullptr && !tested.launcher.empty();
  std::vector<std::string> argStrings = {launched ? tested.launcher : program};
  if (launched) argStrings.push_back(program);
  for (const std::string& arg : args) argStrings.push_back(tested.windows ? windowsArgument(arg) : arg);
  std::vector<char*> argv = pointersTo(argStrings);
  std::vector<std::string> envStrings = account != nullptr ? environmentFor(*account)
                                        : tested.windows   ? windowsEnvironment()
                                                           : std::vector<std::string>{};
  std::vector<char*> envp = pointersTo(envStrings);
  const std::string cannotRun = "cannot run " + program + ": ";
  const std::string cannotSwitch = "cannot become the user to run " + program + " as\n";

  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    close(out[0]);
    close(err[0]);
    if (account != nullptr) {
      if (!becomeUser(*account) || chdir(account->folder.c_str()) != 0) {
        say(cannotSwitch);
        _exit(126);
      }
      execve(program.c_str(), argv.data(), envp.data());
    } else if (!envStrings.empty()) {
      execve(argStrings[0].c_str(), argv.data(), envp.data());
    } else {
      execv(argStrings[0].c_str(), argv.data());
    }
    say(cannotRun + std::strerror(errno) + "\n");
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  fcntl(out[0], F_SETFL, O_NONBLOCK);
  fcntl(err[0], F_SETFL, O_NONBLOCK);
  CliResult result;
  bool outOpen = true, errOpen = true;
  // A run that hangs fails its test instead of the whole suite.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (outOpen || errOpen) {
    if (std::chrono::steady_clock::now() > deadline) kill(pid, SIGKILL);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    poll(fds, 2, 20);
    if (outOpen) drain(out[0], &result.out, &outOpen);
    if (errOpen) drain(err[0], &result.err, &errOpen);
    if (whileRunning) whileRunning(pid, result.out);
  }
  close(out[0]);
  close(err[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  // A Windows program's text lines end in CRLF; the cases compare lines.
  if (tested.windows)
    for (std::string* text : {&result.out, &result.err})
      for (std::size_t at; (at = text->find("\r\n")) != std::string::npos;) text->erase(at, 1);
  return result;
}

}  // namespace

const CliProgram& cliProgram() {
  static const CliProgram tested = [] {
    CliProgram out;
    const char* path = std::getenv("FOTOLUN_CLI_PATH");
    const char* launcher = std::getenv("FOTOLUN_CLI_LAUNCHER");
    out.program = path != nullptr && *path != '\0' ? path : FOTOLUN_CLI_PATH;
    out.launcher = launcher != nullptr ? launcher : "";
    out.windows = out.program.ends_with(".exe");
    return out;
  }();
  return tested;
}

std::string programPath(const fs::path& path) {
  if (!cliProgram().windows) return path.string();
  std::string out = "Z:" + fs::absolute(path).lexically_normal().string();
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

fs::path userCookieFileOfProgram(const fs::path& configHome) {
  if (!cliProgram().windows) return configHome / "fotolun" / "cookies.txt";
  const char* prefix = std::getenv("FOTOLUN_WINEPREFIX");
  const char* cache = std::getenv("FOTOLUN_WINDOWS_CACHE");
  const char* home = std::getenv("HOME");
  const fs::path wine = prefix != nullptr ? fs::path(prefix)
                        : cache != nullptr
                            ? fs::path(cache) / "wine"
                            : fs::path(home != nullptr ? home : "/") / ".cache/fotolun-windows/wine";
  const passwd* user = getpwuid(getuid());
  return wine / "drive_c/users" / (user != nullptr ? user->pw_name : "root") /
         "AppData/Roaming/Fotolun/cookies.txt";
}

CliResult runCliCopy(const std::string& program, const std::vector<std::string>& args) {
  return runProgram(program, args, nullptr, nullptr);
}

CliResult runBuiltCli(const std::vector<std::string>& args) {
  return runProgram(FOTOLUN_CLI_PATH, args, nullptr, nullptr, CliProgram{"", FOTOLUN_CLI_PATH, false});
}

bool leftOutUnderWine(const std::string& what, const std::string& why) {
  if (!cliProgram().windows) return false;
  std::printf("[ left out under Wine ] %s: %s\n", what.c_str(), why.c_str());
  return true;
}

CliResult runCli(const std::vector<std::string>& args,
                 const std::function<void(int pid, const std::string& outSoFar)>& whileRunning) {
  return runProgram(cliProgram().program, args, whileRunning, nullptr);
}

UnprivilegedCli::UnprivilegedCli() : uid_(getuid()), gid_(getgid()) {
  if (cliProgram().windows) {
    // Wine runs in a prefix of its user's own; another user would need a prefix of theirs.
    unavailable_ = "under Wine: Windows has no POSIX modes and the Wine prefix is not another user's";
    return;
  }
  if (geteuid() == 0) {
    const passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr) {
      unavailable_ = "there is no user nobody to run fotolun-cli as";
      return;
    }
    switchUser_ = true;
    uid_ = nobody->pw_uid;
    gid_ = nobody->pw_gid;
  }
  // /tmp itself, not $TMPDIR: that may be a folder of the caller's own.
  std::string pattern = "/tmp/fotolun-cli-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    unavailable_ = "cannot make a folder under /tmp: " + std::string(std::strerror(errno));
    return;
  }
  folder_ = pattern;
  program_ = folder_ / "fotolun-cli";
  try {
    // The binary alone: it links no library of the build tree and reads nothing beside itself
    // but its settings file, which a fresh folder leaves at the defaults.
    fs::copy_file(cliProgram().program, program_);
    fs::permissions(program_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    own(folder_);
  } catch (...) {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
    throw;
  }

  // Whether the user may enter every folder on the way, and may become that user at all.
  const Account account{switchUser_, uid_, gid_, folder_.string()};
  const pid_t pid = fork();
  if (pid == 0) {
    if (!becomeUser(account)) _exit(1);
    _exit(access(program_.c_str(), X_OK) == 0 ? 0 : 2);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (code == 1)
    unavailable_ = "the tests run as root but may not become the user nobody here";
  else if (code != 0)
    unavailable_ = "the user nobody cannot reach " + folder_.string() + ", where fotolun-cli was copied";
}

UnprivilegedCli::~UnprivilegedCli() {
  if (folder_.empty()) return;
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

void UnprivilegedCli::own(const fs::path& path) const {
  const Account account{switchUser_, uid_, gid_, folder_.string()};
  give(path, account);
  if (fs::is_directory(fs::symlink_status(path)))
    for (const auto& entry : fs::recursive_directory_iterator(path)) give(entry.path(), account);
}

CliResult UnprivilegedCli::run(const std::vector<std::string>& args) const {
  if (!unavailable_.empty()) throw std::logic_error(unavailable_);
  const Account account{switchUser_, uid_, gid_, folder_.string()};
  return runProgram(program_.string(), args, nullptr, &account);
}

}  // namespace fotolun::testing
