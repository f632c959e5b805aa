#pragma once
#include <functional>
#include <string>

#include "cli/terminal.h"
#include "program/program_folders.h"

namespace fotolun::cli {

// Starts the stand-in service inside the process, signs in to it as a browser would and
// downloads sample personal albums (both sizes) and a group's albums below saveDir.
// Returns the exit code.
struct DemoChoices {
  bool embedDates = false;
  bool writeGallery = true;
};
int runDemo(Terminal& terminal, const ProgramFolders& folders, const std::string& saveDir,
            const std::function<bool()>& interrupted, DemoChoices choices = {});

}  // namespace fotolun::cli
