#pragma once
#include "text/gbk_text.h"

namespace fotolun {

// The name without the characters that may not, or should not, stand in a file or folder name:
// : \ / ? * < > | and the full-width ：？。（）·！， and the ASCII full stop. Whole GBK characters
// are compared, so a trail byte equal to "\" or "|" is never taken for one.
Text cleanFileName(const Text& name);

}  // namespace fotolun
