// Folding response cookies into the stored cookie string.
#include "net/cookies.h"

#include <algorithm>
#include <vector>

namespace fotolun {
namespace {

// An item's name: the text before its first "="; an item without "=" is all name. Names are
// taken once spaces are gone, so there is nothing to trim.
std::string_view CookieName(std::string_view item) {
  const int eq = FindText(item, "=");
  return eq == -1 ? item : item.substr(0, static_cast<size_t>(eq - 1));
}

bool IsDeleted(std::string_view item) { return item.ends_with("=deleted"); }

bool Holds(const std::vector<std::string_view>& views, std::string_view view) {
  return std::find(views.begin(), views.end(), view) != views.end();
}

}  // namespace

// Items are views into stored, incoming and then joined, each of which outlives them.
Text MergeCookies(Text& stored, Text& incoming) {
  stored = RemoveSpaces(stored);
  incoming = RemoveSpaces(incoming);
  std::vector<std::string_view> merged = SplitTextViews(incoming, ";");

  // B grows while A is folded in, so the first stored item of a name shadows later ones.
  std::vector<std::string_view> mergedNames;
  for (const std::string_view item : merged) mergedNames.push_back(CookieName(item));
  for (const std::string_view item : SplitTextViews(stored, ";")) {
    const std::string_view name = CookieName(item);
    if (Holds(mergedNames, name)) continue;
    merged.push_back(item);
    mergedNames.push_back(name);
  }

  Text joined;
  joined.reserve(stored.size() + incoming.size() + 2 * merged.size());
  for (const std::string_view item : merged) {
    if (!IsDeleted(item)) joined.append(item).append("; ");
  }
  if (joined.size() >= 2) joined.resize(joined.size() - 2);

  // Identical items collapse to their first occurrence.
  std::vector<std::string_view> kept;
  for (const std::string_view item : SplitTextViews(joined, "; ")) {
    if (!Holds(kept, item)) kept.push_back(item);
  }
  Text result;
  result.reserve(joined.size());
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) result.append("; ");
    result.append(kept[i]);
  }
  stored = result;
  return result;
}

}  // namespace fotolun
