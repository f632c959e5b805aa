#pragma once
#include "form/form.h"
#include "form/percent_text.h"

namespace fotolun {

// One more album listed: 进度条1 advances by one and 标签_进度条比例 shows its new percentage,
// read back from the bar (which keeps its position within its maximum).
void advanceListProgress(Form& form);

}  // namespace fotolun
