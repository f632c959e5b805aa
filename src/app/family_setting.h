#pragma once
// Which endpoint family the program uses, kept in the settings file: [服务接口] 接口 = auto,
// classic or current. A missing or unknown value is auto.
#include "program/service_family.h"
#include "text/gbk_text.h"

namespace fotolun {

FamilyChoice savedFamilyChoice(const Text& settingsPath);

}  // namespace fotolun
