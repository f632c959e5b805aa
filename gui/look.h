#pragma once
class QApplication;

namespace fotolun::gui {

// One style and one font for every window, the same on every desktop: Fusion, and the form's
// font face, mapped to the CJK font the system has when the face itself is missing.
void applyLook(QApplication& app);

// Qt's own texts (the folder chooser, the log's context menu, the standard buttons) in Chinese,
// from Qt's translations (qt6-translations-l10n). Call it before any widget is made. False when
// the translations are not installed: those texts then stay English.
bool installChineseTranslations(QApplication& app);

}  // namespace fotolun::gui
