#include "app/parallel_setting.h"

#include <charconv>

#include "app/settings_file.h"
#include "text/encoding.h"

namespace fotolun {

int readParallelPhotos(const Text& settingsPath) {
  const Text value = readProfileString(settingsPath, Utf8ToGbk("下载模式"), Utf8ToGbk("同时下载"), "1");
  int streams = 1;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), streams);
  if (error != std::errc() || end != value.data() + value.size()) return 1;
  return streams >= 1 && streams <= kMostParallelPhotos ? streams : 1;
}

}  // namespace fotolun
