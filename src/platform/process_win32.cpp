#include <windows.h>

#include "platform/process.h"
// After windows.h, which it needs.
#include <shellapi.h>

#include <memory>

namespace fotolun::platform {
namespace {

std::string utf8Of(const wchar_t* text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return "";
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
  out.pop_back();  // the terminating NUL
  return out;
}

std::wstring wideOf(const char* utf8) {
  const int chars = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (chars <= 1) return L"";
  std::wstring out(static_cast<std::size_t>(chars), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out.data(), chars);
  out.pop_back();
  return out;
}

}  // namespace

int processId() { return static_cast<int>(GetCurrentProcessId()); }

bool processRunning(int pid) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return GetLastError() != ERROR_INVALID_PARAMETER;  // no such process
  DWORD code = 0;
  const bool running = !GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

std::optional<std::string> environmentVariable(const char* name) {
  const std::wstring wideName = wideOf(name);
  const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (size == 0)
    return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt : std::optional<std::string>("");
  std::wstring value(size, L'\0');
  const DWORD got = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
  value.resize(got);
  return utf8Of(value.c_str());
}

std::vector<std::string> commandLineArguments(int, char**) {
  int count = 0;
  const std::unique_ptr<wchar_t*, decltype(&LocalFree)> wide(CommandLineToArgvW(GetCommandLineW(), &count),
                                                             &LocalFree);
  std::vector<std::string> out;
  for (int i = 1; wide && i < count; ++i) out.push_back(utf8Of(wide.get()[i]));
  return out;
}

std::optional<std::filesystem::path> programFile() {
  // A long path does not fit the first buffer: the call then fills it whole.
  for (DWORD size = MAX_PATH;; size *= 2) {
    std::wstring name(size, L'\0');
    const DWORD got = GetModuleFileNameW(nullptr, name.data(), size);
    if (got == 0) return std::nullopt;
    if (got < size) {
      name.resize(got);
      return std::filesystem::path(name);
    }
    if (size > 32768) return std::nullopt;
  }
}

}  // namespace fotolun::platform
