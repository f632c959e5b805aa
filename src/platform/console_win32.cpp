#include <io.h>
#include <windows.h>

#include "platform/console.h"

namespace fotolun::platform {
namespace {

void (*stopHandler)() = nullptr;

// The system runs this on a thread of its own. Ctrl-C and Ctrl-Break stop the run as SIGINT does
// on POSIX; closing the window or logging off ends the process as soon as this returns, so those
// are left to the system.
BOOL WINAPI onConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  stopHandler();
  return TRUE;
}

}  // namespace

bool isTerminal(std::FILE* stream) {
  DWORD mode = 0;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

Utf8Console::Utf8Console() : previous_(GetConsoleOutputCP()) {
  if (previous_ != 0) SetConsoleOutputCP(CP_UTF8);
}

Utf8Console::~Utf8Console() {
  if (previous_ != 0) SetConsoleOutputCP(previous_);
}

void whenStopAsked(void (*onStop)()) {
  stopHandler = onStop;
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

}  // namespace fotolun::platform
