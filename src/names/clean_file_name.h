#pragma once
#include "text/gbk_text.h"

namespace fotolun {

// The name without the characters that may not, or should not, stand in a file or folder name:
// : \ / ? * < > | and the full-width ：？。（）·！， and the ASCII full stop. Whole GBK characters
// are compared, so a trail byte equal to "\" or "|" is never taken for one.
// Control characters (U+0000 to U+001F and U+007F) are dropped first, raw or as the \uXXXX
// escapes of a JSON text, leaving no trace.
Text cleanFileName(const Text& name);

// The name without control characters, raw or written as JSON escapes ("\u0001"); an escaped
// backslash ("\\u0001") is text, not an escape, and stays.
Text dropControlCharacters(const Text& name);

}  // namespace fotolun
