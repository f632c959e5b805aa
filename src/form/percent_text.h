#pragma once
#include "text/gbk_text.h"

namespace fotolun {

// The caption of 标签_进度条比例: "trunc(position / maximum × 100)%", and "0%" for a bar without a
// maximum. The album lists and the photo listings show it alike.
Text percentText(int position, int maximum);

}  // namespace fotolun
