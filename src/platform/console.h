#pragma once
// The console a command-line program writes to and is stopped from.
#include <cstdio>

namespace fotolun::platform {

// Whether the stream goes to a terminal (a console window on Windows) rather than a pipe or file.
bool isTerminal(std::FILE* stream);

// While it lives, UTF-8 bytes written to the console show as the characters they spell. POSIX
// terminals take UTF-8 as they are; a Windows console is switched to code page 65001 and back
// afterwards. Output to a pipe or file is the same bytes either way.
class Utf8Console {
 public:
  Utf8Console();
  ~Utf8Console();
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  unsigned previous_ = 0;
};

// Calls onStop when the user asks the program to stop: SIGINT (Ctrl-C) or SIGTERM on POSIX,
// Ctrl-C or Ctrl-Break on Windows. onStop may run on any thread, or inside a signal handler, so it
// may only touch a lock-free atomic.
void whenStopAsked(void (*onStop)());

}  // namespace fotolun::platform
