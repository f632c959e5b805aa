#pragma once
#include "text/gbk_text.h"

namespace fotolun {

// An integer in low..high (both included); 0 when high < low. Thread-safe.
int RandomInRange(int low, int high);

// count ASCII letters: mode 0 lower case, mode 1 upper case, any other mode mixed per letter.
Text RandomLetters(int count, int mode = 0);

}  // namespace fotolun
