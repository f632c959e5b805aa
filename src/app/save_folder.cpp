#include "app/save_folder.h"

#include "app/settings_file.h"
#include "text/encoding.h"

namespace fotolun {

void chooseSaveFolder(Form& form, Desktop& desktop, const Text& defaultFolder, const Text& settingsPath) {
  const Text current = TrimSpaces(form.text(Control::编辑框_保存位置));
  const Text chosen = TrimSpaces(
      desktop.chooseFolder(Utf8ToGbk("选择相册的存放位置"), current.empty() ? defaultFolder : current));
  if (chosen.empty()) return;
  form.setText(Control::编辑框_保存位置, chosen);
  rememberSaveFolder(settingsPath, chosen);
}

void openSaveFolder(Form& form, Desktop& desktop, const Text& defaultFolder) {
  const Text text = form.text(Control::编辑框_保存位置);
  const Text folder = text.empty() ? defaultFolder : text;
  if (!desktop.openFolder(folder))
    form.messageBox(Utf8ToGbk("没有能打开文件夹的程序（文件管理器），请自己打开：") + folder, "",
                    MessageButtons::Ok, MessageIcon::warning);
}

Text rememberedSaveFolder(const Text& settingsPath) {
  return TrimSpaces(readProfileString(settingsPath, Utf8ToGbk("保存位置"), Utf8ToGbk("目录"), ""));
}

void rememberSaveFolder(const Text& settingsPath, const Text& folder) {
  // An unwritable settings file only means the choice is not kept; the box still shows it.
  if (rememberedSaveFolder(settingsPath) == folder) return;
  writeProfileString(settingsPath, Utf8ToGbk("保存位置"), Utf8ToGbk("目录"), folder);
}

}  // namespace fotolun
