#pragma once
// The number whose albums are listed: a QQ number, or a QQ group number, as the service hands them
// out. Both are 5 to 11 decimal digits (groups have had 5 to 10 so far; 11 keeps a longer one
// from being refused before the service is asked).
#include <string_view>

#include "text/gbk_text.h"

namespace fotolun {

inline constexpr std::size_t kShortestNumber = 5;
inline constexpr std::size_t kLongestNumber = 11;

bool isServiceNumber(std::string_view text);

// What the window says of a number that cannot be one ("" when it can), GBK.
Text numberProblem(const Text& number, bool group);

}  // namespace fotolun
