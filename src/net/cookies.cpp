// Folding response cookies into the stored cookie string.
#include "net/cookies.h"

#include <algorithm>
#include <vector>

namespace fotolun {
namespace {

// An item's name: the text before its first "=", trimmed; an item without "=" is all name.
Text CookieName(const Text& item) {
  const int eq = FindText(item, "=");
  return TrimSpaces(eq == -1 ? std::string_view(item) : std::string_view(item).substr(0, eq - 1));
}

bool IsDeleted(const Text& item) {
  static constexpr std::string_view kDeleted = "=deleted";
  return item.size() >= kDeleted.size() &&
         item.compare(item.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0;
}

}  // namespace

Text MergeCookies(Text& stored, Text& incoming) {
  stored = RemoveSpaces(stored);
  incoming = RemoveSpaces(incoming);
  const std::vector<Text> storedItems = SplitText(stored, ";");
  std::vector<Text> merged = SplitText(incoming, ";");

  // B grows while A is folded in, so the first stored item of a name shadows later ones.
  std::vector<Text> mergedNames;
  mergedNames.reserve(merged.size() + storedItems.size());
  for (const Text& item : merged) mergedNames.push_back(CookieName(item));
  for (const Text& item : storedItems) {
    Text name = CookieName(item);
    if (std::find(mergedNames.begin(), mergedNames.end(), name) != mergedNames.end()) continue;
    merged.push_back(item);
    mergedNames.push_back(std::move(name));
  }

  Text joined;
  for (const Text& item : merged) {
    if (!IsDeleted(item)) joined += item + "; ";
  }
  if (joined.size() >= 2) joined.resize(joined.size() - 2);

  // Identical items collapse to their first occurrence.
  std::vector<Text> kept;
  for (Text& item : SplitText(joined, "; ")) {
    if (std::find(kept.begin(), kept.end(), item) == kept.end()) kept.push_back(std::move(item));
  }
  Text result;
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) result += "; ";
    result += kept[i];
  }
  stored = result;
  return result;
}

}  // namespace fotolun
