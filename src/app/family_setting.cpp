#include "app/family_setting.h"

#include "app/settings_file.h"
#include "text/encoding.h"

namespace fotolun {

FamilyChoice savedFamilyChoice(const Text& settingsPath) {
  const Text value = readProfileString(settingsPath, Utf8ToGbk("服务接口"), Utf8ToGbk("接口"), "auto");
  return familyChoiceNamed(value).value_or(FamilyChoice::automatic);
}

std::optional<ServiceFamily> rememberedFamily(const Text& settingsPath) {
  const Text value = readProfileString(settingsPath, Utf8ToGbk("服务接口"), Utf8ToGbk("上次可用"), "");
  if (value == familyName(ServiceFamily::current)) return ServiceFamily::current;
  if (value == familyName(ServiceFamily::classic)) return ServiceFamily::classic;
  return std::nullopt;
}

void rememberFamily(const Text& settingsPath, ServiceFamily family) {
  writeProfileString(settingsPath, Utf8ToGbk("服务接口"), Utf8ToGbk("上次可用"), Text(familyName(family)));
}

}  // namespace fotolun
