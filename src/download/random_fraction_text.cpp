#include "download/random_fraction_text.h"

#include "text/random_text.h"

namespace fotolun {

Text randomFractionText() {
  Text text = "0.";
  for (int digit = 1; digit <= 15; ++digit) {
    const bool outer = digit == 1 || digit == 15;
    text.push_back(static_cast<char>('0' + RandomInRange(outer ? 1 : 0, 9)));
  }
  return text;
}

}  // namespace fotolun
