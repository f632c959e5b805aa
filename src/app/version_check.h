#pragma once
// Whether the project's update page lists a newer version than the one running.
#include <optional>

#include "form/form.h"

namespace fotolun {

// The key under which the update page lists this program: "#fotolun@@<version>#fotolun".
inline constexpr const char* kUpdateProductKey = "fotolun";

// A version text as a number: digits with an optional decimal part, blanks around it ignored.
// Anything else is not a number.
std::optional<double> versionNumber(const Text& version);

// latest is newer than current when both are numbers and latest exceeds current by more than 1e-7.
bool isNewerVersion(const Text& latest, const Text& current);

// Reads 标签_banben, fetches updatePage and writes 标签_zxbanben and 标签_banbenjieguo; a newer
// version is also announced in a message box. An unreadable page only empties 标签_zxbanben. With
// no update page configured nothing is fetched and 标签_banbenjieguo says so.
void checkForNewVersion(Form& form, const Text& updatePage, const Text& proxy, const Text& caFile = "",
                        const Text& productKey = kUpdateProductKey);

}  // namespace fotolun
