#include "albums/list_progress.h"

#include <string>

namespace fotolun {

// Integer arithmetic: the quotient through a double can land just below a whole number
// (29 / 100 × 100 gives 28.999...), which would show one percent too few.
Text percentText(int position, int maximum) {
  if (maximum <= 0) return "0%";
  return std::to_string(static_cast<long long>(position) * 100 / maximum) + "%";
}

void advanceListProgress(Form& form) {
  form.setPosition(Control::进度条1, form.position(Control::进度条1) + 1);
  form.setText(Control::标签_进度条比例,
               percentText(form.position(Control::进度条1), form.maximum(Control::进度条1)));
}

}  // namespace fotolun
