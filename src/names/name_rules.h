#pragma once
// Whose rules a name on disk follows. The names are the program's own either way: a name both
// systems take is the same bytes under both rules, so a backup keeps its folders.
#include "platform/system.h"

namespace fotolun {

enum class NameRules {
  // Linux: a name of at most 255 UTF-8 bytes without "/" (and NUL).
  posix,
  // Windows: at most 255 UTF-16 units; none of \ / : * ? " < > | or control characters; no
  // dot or space at the end (the system would drop them); no device name such as CON or COM1,
  // with or without an extension, in any case.
  windows,
};

// The rules of the system the program runs on: the one place that picks them.
inline constexpr NameRules kSystemNameRules = platform::kWindows ? NameRules::windows : NameRules::posix;

}  // namespace fotolun
