#include <signal.h>
#include <unistd.h>

#include "platform/console.h"

namespace fotolun::platform {
namespace {

void (*stopHandler)() = nullptr;

void onSignal(int) { stopHandler(); }

}  // namespace

bool isTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }

Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;

void whenStopAsked(void (*onStop)()) {
  stopHandler = onStop;
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace fotolun::platform
