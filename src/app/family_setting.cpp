#include "app/family_setting.h"

#include "app/settings_file.h"
#include "text/encoding.h"

namespace fotolun {

FamilyChoice savedFamilyChoice(const Text& settingsPath) {
  const Text value = readProfileString(settingsPath, Utf8ToGbk("服务接口"), Utf8ToGbk("接口"), "auto");
  return familyChoiceNamed(value).value_or(FamilyChoice::automatic);
}

}  // namespace fotolun
