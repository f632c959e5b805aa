#pragma once
// Conversions at the edges: service replies (UTF-8) in, widgets, paths and the terminal out.
// Both are thread-safe and convert in bulk; the conversion is the system's (platform/code_page.h).
#include <string>
#include <string_view>

#include "text/gbk_text.h"

namespace fotolun {

// UTF-8 bytes to code page 936. Characters that 936 cannot hold, and invalid UTF-8 sequences,
// become "?"; the rest of the text always comes through. The result ends at the first NUL.
Text Utf8ToGbk(std::string_view utf8);

// Code page 936 to UTF-8, for widgets, file-system paths and terminal output. Bytes that are not
// valid GBK become U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace fotolun
