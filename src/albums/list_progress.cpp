#include "albums/list_progress.h"

#include <string>

namespace fotolun {

void advanceListProgress(Form& form) {
  form.setPosition(Control::进度条1, form.position(Control::进度条1) + 1);
  form.setText(Control::标签_进度条比例,
               percentText(form.position(Control::进度条1), form.maximum(Control::进度条1)));
}

}  // namespace fotolun
