#pragma once
#include "text/gbk_text.h"

namespace fotolun {

// A random fraction as a script's Math.random() prints it with 15 significant digits: "0." and
// 15 digits, the first and last not zero, 17 characters in all. The service only wants a fresh
// value of that form; drawing the digits directly never waits on anything.
Text randomFractionText();

}  // namespace fotolun
