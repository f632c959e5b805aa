#include "app/patience_setting.h"

#include <cmath>
#include <string>

#include "app/settings_file.h"
#include "text/encoding.h"

namespace fotolun {

std::optional<int> patienceFromMinutes(std::string_view minutes) {
  // Plain digits with at most one point: no signs, exponents, hex or locale surprises.
  if (minutes.empty() || minutes.find_first_not_of("0123456789.") != std::string_view::npos ||
      minutes.find('.') != minutes.rfind('.') || minutes == ".")
    return std::nullopt;
  const double value = std::stod(std::string(minutes));
  if (!(value > 0) || value > kLongestPatienceMinutes) return std::nullopt;
  const auto ms = static_cast<int>(std::lround(value * 60000));
  return ms > 0 ? std::optional<int>(ms) : std::nullopt;
}

Text patienceMinutesText(int ms) {
  const long hundredths = std::lround(ms / 600.0);
  Text text = std::to_string(hundredths / 100);
  if (const long rest = hundredths % 100; rest != 0) {
    text += "." + std::to_string(rest / 10);
    if (rest % 10 != 0) text += std::to_string(rest % 10);
  }
  return text;
}

int readPatienceMs(const Text& settingsPath) {
  const Text value = readProfileString(settingsPath, Utf8ToGbk("下载模式"), Utf8ToGbk("耐心"), "");
  return patienceFromMinutes(value).value_or(static_cast<int>(kDefaultPatienceMinutes * 60000));
}

bool writePatienceMinutes(const Text& settingsPath, const Text& minutes) {
  return writeProfileString(settingsPath, Utf8ToGbk("下载模式"), Utf8ToGbk("耐心"), minutes);
}

}  // namespace fotolun
