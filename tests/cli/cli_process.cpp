#include "cli_process.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace fotolun::testing {

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

}  // namespace

CliResult runCli(const std::vector<std::string>& args,
                 const std::function<void(int pid, const std::string& outSoFar)>& whileRunning,
                 bool asUnprivileged) {
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    close(out[0]);
    close(err[0]);
    if (asUnprivileged && geteuid() == 0) {
      constexpr uid_t kNobody = 65534;
      if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(126);
    }
    std::vector<char*> argv;
    std::string path = FOTOLUN_CLI_PATH;
    argv.push_back(path.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(path.c_str(), argv.data());
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
  return result;
}

}  // namespace fotolun::testing
