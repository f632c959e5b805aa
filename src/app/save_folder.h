#pragma once
// The save folder: the text of 编辑框_保存位置, chosen with the desktop's folder chooser or typed.
#include "app/desktop.h"
#include "form/form.h"

namespace fotolun {

// 按钮_选择位置: a cancelled chooser falls back to the default folder, not to the previous one.
void chooseSaveFolder(Form& form, Desktop& desktop, const Text& defaultFolder);

// 按钮3: opens the save folder, or the default folder when the box is empty.
void openSaveFolder(const Form& form, Desktop& desktop, const Text& defaultFolder);

}  // namespace fotolun
