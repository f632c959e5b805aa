#pragma once
#include <string>

#include "cli/terminal.h"

namespace fotolun::cli {

// Starts the stand-in service inside the process, signs in to it as a browser would and
// downloads sample personal albums (both sizes) and a group's albums below saveDir.
// Returns the exit code.
int runDemo(Terminal& terminal, const std::string& programDirectory, const std::string& saveDir);

}  // namespace fotolun::cli
