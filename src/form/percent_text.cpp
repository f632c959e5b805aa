#include "form/percent_text.h"

#include <string>

namespace fotolun {

// Integer arithmetic: the quotient through a double can land just below a whole number
// (29 / 100 × 100 gives 28.999...), which would show one percent too few.
Text percentText(int position, int maximum) {
  if (maximum <= 0) return "0%";
  return std::to_string(static_cast<long long>(position) * 100 / maximum) + "%";
}

}  // namespace fotolun
