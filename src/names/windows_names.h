#pragma once
// What Windows adds to the program's name rules (names/name_rules.h).
#include <string_view>

#include "text/gbk_text.h"

namespace fotolun {

// Whether name is a device name on Windows: CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9,
// CONIN$, CONOUT$, in any case, alone or before an extension ("con.txt", "NUL.tar.gz").
bool isWindowsDeviceName(std::string_view name);

// name without the characters Windows refuses in a name: \ / : * ? " < > | and control
// characters. GBK characters are compared whole, so a trail byte equal to "\" or "|" stays.
Text withoutWindowsForbidden(std::string_view name);

// A whole name as Windows takes it, changed only where Windows would refuse it or change it
// itself: the characters it refuses and the dots and spaces at the end removed, a "_" in front of
// a device name.
Text windowsNameComponent(std::string_view name);

}  // namespace fotolun
