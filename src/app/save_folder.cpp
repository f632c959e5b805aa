#include "app/save_folder.h"

#include "text/encoding.h"

namespace fotolun {

void chooseSaveFolder(Form& form, Desktop& desktop, const Text& defaultFolder) {
  // The chooser always opens at the top of the file system.
  const Text chosen = TrimSpaces(desktop.chooseFolder(Utf8ToGbk("选择相册的存放位置"), "/"));
  form.setText(Control::编辑框_保存位置, chosen);
  if (form.text(Control::编辑框_保存位置).empty()) form.setText(Control::编辑框_保存位置, defaultFolder);
}

void openSaveFolder(const Form& form, Desktop& desktop, const Text& defaultFolder) {
  const Text folder = form.text(Control::编辑框_保存位置);
  desktop.openFolder(folder.empty() ? defaultFolder : folder);
}

}  // namespace fotolun
