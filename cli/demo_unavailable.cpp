// A build without the stand-in service (the Windows one) has no demo to run.
#include "cli/demo.h"

namespace fotolun::cli {

int runDemo(Terminal& terminal, const ProgramFolders&, const std::string&, const std::function<bool()>&,
            DemoChoices) {
  terminal.error(
      "demo is not in this build: it needs the stand-in service, which this build "
      "leaves out. Every other command works.\n");
  return 2;
}

}  // namespace fotolun::cli
