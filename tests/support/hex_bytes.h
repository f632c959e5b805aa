#pragma once
// Bytes as upper-case hex, so that a failed comparison of encoded text shows every byte.
#include <string>
#include <string_view>

namespace fotolun::testing {

inline std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

}  // namespace fotolun::testing
