#pragma once
// Which endpoint family the program uses, kept in the settings file: [服务接口] 接口 = auto,
// classic or current. A missing or unknown value is auto.
#include <optional>

#include "endpoints/service_family.h"
#include "text/gbk_text.h"

namespace fotolun {

FamilyChoice savedFamilyChoice(const Text& settingsPath);

// The family that last gave an album list under the automatic choice, [服务接口] 上次可用 =
// classic or current; none when unknown.
std::optional<ServiceFamily> rememberedFamily(const Text& settingsPath);
void rememberFamily(const Text& settingsPath, ServiceFamily family);

}  // namespace fotolun
