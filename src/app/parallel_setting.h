#pragma once
// How many photos of an album the window fetches at once: the settings file's 同时下载 key in
// the 下载模式 section, 1 to 8. The program never writes it; a missing or unreadable value is 1.
#include "text/gbk_text.h"

namespace fotolun {

inline constexpr int kMostParallelPhotos = 8;

int readParallelPhotos(const Text& settingsPath);

}  // namespace fotolun
