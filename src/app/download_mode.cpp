#include "app/download_mode.h"

#include <filesystem>

#include "app/settings_file.h"
#include "platform/path.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

const Text& sectionName() {
  static const Text name = Utf8ToGbk("下载模式");
  return name;
}
const Text& keyName() {
  static const Text name = Utf8ToGbk("模式");
  return name;
}
const Text& hdValue() {
  static const Text value = Utf8ToGbk("高清");
  return value;
}
const Text& originalValue() {
  static const Text value = Utf8ToGbk("原图");
  return value;
}

void showMode(Form& form, bool original) {
  form.setChecked(Control::选择框_原图, original);
  form.setChecked(Control::选择框_高清, !original);
}

// An unwritable file is not reported: the boxes still hold the choice for this run.
void storeMode(const Text& settingsPath, bool original) {
  // The user's settings folder does not exist before the first choice is stored.
  std::error_code ignored;
  std::filesystem::create_directories(platform::systemPath(GbkToUtf8(settingsPath)).parent_path(), ignored);
  writeProfileString(settingsPath, sectionName(), keyName(), original ? originalValue() : hdValue());
}

}  // namespace

void applySavedDownloadMode(Form& form, const Text& settingsPath) {
  const Text stored = readProfileString(settingsPath, sectionName(), keyName(), hdValue());
  showMode(form, CompareText(stored, hdValue()) != 0);
}

void onOriginalSizeClicked(Form& form, const Text& settingsPath) {
  const bool original = form.checked(Control::选择框_原图);
  form.setChecked(Control::选择框_高清, !original);
  storeMode(settingsPath, original);
}

void onHdClicked(Form& form, const Text& settingsPath) {
  const bool hd = form.checked(Control::选择框_高清);
  form.setChecked(Control::选择框_原图, !hd);
  storeMode(settingsPath, !hd);
}

}  // namespace fotolun
