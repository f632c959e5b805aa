#pragma once
// How long a run waits out a busy or silent service in one stretch before it stops for now: the
// settings file's 耐心 key in the 下载模式 section, in minutes (a fraction of one allowed), 30 when
// missing or unreadable.
#include <optional>
#include <string_view>

#include "text/gbk_text.h"

namespace fotolun {

inline constexpr double kDefaultPatienceMinutes = 30;
// A day: past that a run waiting out a wall is a run forgotten.
inline constexpr double kLongestPatienceMinutes = 24 * 60;

// Minutes as text ("30", "0.1") in milliseconds; none unless it is a number above zero and at most
// a day.
std::optional<int> patienceFromMinutes(std::string_view minutes);

// The patience as minutes for a person: "30", "0.5" (to a hundredth of a minute).
Text patienceMinutesText(int ms);

int readPatienceMs(const Text& settingsPath);
bool writePatienceMinutes(const Text& settingsPath, const Text& minutes);

}  // namespace fotolun
