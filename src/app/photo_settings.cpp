#include "app/photo_settings.h"

#include "app/settings_file.h"
#include "text/encoding.h"

namespace fotolun {

bool readEmbedDates(const Text& settingsPath) {
  return readProfileString(settingsPath, Utf8ToGbk("照片信息"), Utf8ToGbk("写入拍摄时间"), "0") == "1";
}

bool writeEmbedDates(const Text& settingsPath, bool on) {
  return writeProfileString(settingsPath, Utf8ToGbk("照片信息"), Utf8ToGbk("写入拍摄时间"), on ? "1" : "0");
}

}  // namespace fotolun
