#pragma once
// The save folder: the text of 编辑框_保存位置, chosen with the desktop's folder chooser or typed.
#include "app/desktop.h"
#include "form/form.h"

namespace fotolun {

// 按钮_选择位置: a cancelled chooser falls back to programDirectory, not to the previous folder.
void chooseSaveFolder(Form& form, Desktop& desktop, const Text& programDirectory);

// 按钮3: opens the save folder, or programDirectory when the box is empty.
void openSaveFolder(const Form& form, Desktop& desktop, const Text& programDirectory);

}  // namespace fotolun
