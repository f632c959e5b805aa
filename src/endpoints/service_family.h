#pragma once
// Which of the service's two endpoint families the program talks to: the older plain-http one
// (album hosts named by the route lookup) or the https proxy endpoints the service's own pages
// use today.
#include <optional>
#include <string_view>

namespace fotolun {

enum class ServiceFamily { classic, current };

// What the user asked for; automatic starts with the older family and moves to the https one for
// the rest of the session when the older one gives no usable album list.
enum class FamilyChoice { classic, current, automatic };

// "classic", "current", "auto"; nothing for another word.
std::optional<FamilyChoice> familyChoiceNamed(std::string_view name);
std::string_view familyName(ServiceFamily family);
// The family a session starts with under a choice.
ServiceFamily startingFamily(FamilyChoice choice);

}  // namespace fotolun
