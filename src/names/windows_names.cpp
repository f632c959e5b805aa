#include "names/windows_names.h"

#include <array>

namespace fotolun {
namespace {

constexpr std::string_view kForbidden = "\\/:*?\"<>|";

unsigned char FoldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string_view withoutTrailing(std::string_view name, std::string_view characters) {
  const std::size_t last = name.find_last_not_of(characters);
  return last == std::string_view::npos ? std::string_view() : name.substr(0, last + 1);
}

}  // namespace

bool isWindowsDeviceName(std::string_view name) {
  static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN",    "AUX",
                                                               "NUL", "CONIN$", "CONOUT$"};
  // The part before the first dot names the device; spaces before the dot do not count.
  const std::string_view base = withoutTrailing(name.substr(0, name.find('.')), " ");
  for (const std::string_view device : kDevices)
    if (equalsIgnoringCase(base, device)) return true;
  return base.size() == 4 && base[3] >= '1' && base[3] <= '9' &&
         (equalsIgnoringCase(base.substr(0, 3), "COM") || equalsIgnoringCase(base.substr(0, 3), "LPT"));
}

Text withoutWindowsForbidden(std::string_view name) {
  Text kept;
  kept.reserve(name.size());
  for (std::size_t at = 0; at < name.size();) {
    const auto c = static_cast<unsigned char>(name[at]);
    if (c >= 0x81 && at + 1 < name.size()) {  // a double-byte character, whatever its trail byte
      kept.append(name, at, 2);
      at += 2;
      continue;
    }
    if (c >= 0x20 && kForbidden.find(static_cast<char>(c)) == std::string_view::npos) kept += name[at];
    ++at;
  }
  return kept;
}

Text windowsNameComponent(std::string_view name) {
  Text kept = withoutWindowsForbidden(name);
  kept.resize(withoutTrailing(kept, ". ").size());
  if (isWindowsDeviceName(kept)) kept.insert(0, "_");
  return kept;
}

}  // namespace fotolun
