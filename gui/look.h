#pragma once
class QApplication;

namespace fotolun::gui {

// One style and one font for every window, the same on every desktop: Fusion, and the form's
// font face, mapped to the CJK font the system has when the face itself is missing.
void applyLook(QApplication& app);

}  // namespace fotolun::gui
