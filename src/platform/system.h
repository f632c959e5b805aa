#pragma once
// Which system the program was built for, for the rules that differ by system but hold no system
// call (where the user's folders lie, how a path is written).

namespace fotolun::platform {

#ifdef _WIN32
inline constexpr bool kWindows = true;
inline constexpr char kFolderSeparator = '\\';
#else
inline constexpr bool kWindows = false;
inline constexpr char kFolderSeparator = '/';
#endif

}  // namespace fotolun::platform
