#pragma once
// The download mode: the two exclusive check boxes 选择框_高清 (HD) and 选择框_原图 (original size)
// and the one setting the program keeps between runs. The download reads the boxes, not the file.
#include "form/form.h"

namespace fotolun {

// Checks the box of the mode stored in the settings file at settingsPath; HD unless the file holds
// another value.
void applySavedDownloadMode(Form& form, const Text& settingsPath);

// Click handlers; the clicked box's state has already toggled. Exactly one box stays checked and
// the file holds the mode shown.
void onOriginalSizeClicked(Form& form, const Text& settingsPath);
void onHdClicked(Form& form, const Text& settingsPath);

}  // namespace fotolun
