#pragma once
// The save folder: the text of 编辑框_保存位置, chosen with the desktop's folder chooser or typed,
// and remembered in the settings file ([保存位置] 目录) from one run to the next.
#include "app/desktop.h"
#include "form/form.h"

namespace fotolun {

// 按钮_选择位置: the chooser opens at the folder in the box (the default folder when it is empty);
// a folder chosen goes into the box and is remembered, a cancelled chooser changes nothing.
void chooseSaveFolder(Form& form, Desktop& desktop, const Text& defaultFolder, const Text& settingsPath);

// 按钮3: opens the save folder, or the default folder when the box is empty; says so in a box
// when no file manager could be started.
void openSaveFolder(Form& form, Desktop& desktop, const Text& defaultFolder);

// The folder the user last chose or downloaded into, "" when none is remembered.
Text rememberedSaveFolder(const Text& settingsPath);
void rememberSaveFolder(const Text& settingsPath, const Text& folder);

}  // namespace fotolun
