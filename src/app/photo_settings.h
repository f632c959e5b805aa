#pragma once
// Whether the shooting date goes inside the photos: the settings file's 写入拍摄时间 key in the
// 照片信息 section, "1" on and anything else off, written by the window's check box.
#include "text/gbk_text.h"

namespace fotolun {

bool readEmbedDates(const Text& settingsPath);
bool writeEmbedDates(const Text& settingsPath, bool on);

}  // namespace fotolun
