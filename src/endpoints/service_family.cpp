#include "endpoints/service_family.h"

namespace fotolun {

std::optional<FamilyChoice> familyChoiceNamed(std::string_view name) {
  if (name == "classic") return FamilyChoice::classic;
  if (name == "current") return FamilyChoice::current;
  if (name == "auto") return FamilyChoice::automatic;
  return std::nullopt;
}

std::string_view familyName(ServiceFamily family) {
  return family == ServiceFamily::current ? "current" : "classic";
}

ServiceFamily startingFamily(FamilyChoice choice) {
  return choice == FamilyChoice::current ? ServiceFamily::current : ServiceFamily::classic;
}

}  // namespace fotolun
