#pragma once
// This process as the system sees it: its number, its environment, its arguments, its program
// file. Texts are UTF-8.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fotolun::platform {

int processId();
// Whether a process of that number may still be running (unsure counts as running).
bool processRunning(int pid);

// The variable's value; nothing when it is unset.
std::optional<std::string> environmentVariable(const char* name);

// The arguments after the program's name. On POSIX they are argv as given; on Windows they are
// read from the UTF-16 command line (argv holds them in the ANSI code page).
std::vector<std::string> commandLineArguments(int argc, char** argv);

// The program's own file; nothing when the system does not say.
std::optional<std::filesystem::path> programFile();

}  // namespace fotolun::platform
