#pragma once
// fotolun-cli login: the QR sign-in on a terminal, ending in a cookies.txt the other commands read.
#include <chrono>
#include <functional>
#include <string>

#include "cli/terminal.h"

namespace fotolun::cli {

struct LoginSettings {
  std::string cookieFile;  // UTF-8
  std::string proxy;
  std::string caFile;
  std::chrono::milliseconds pollInterval{2500};
};

// Exit code: 0 signed in and saved, 1 the file could not be written or Ctrl-C, 3 not signed in.
int runLogin(Terminal& terminal, const LoginSettings& settings, const std::function<bool()>& interrupted);

}  // namespace fotolun::cli
