#include "feed/feed_names.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "feed/feed_reader.h"
#include "story/photo_identity.h"

namespace fotolun {

std::vector<int> dayOrders(const std::vector<FeedPost>& posts) {
  std::map<std::string, std::vector<std::size_t>> byDay;
  for (std::size_t i = 0; i < posts.size(); ++i)
    if (posts[i].mediaCount() > 0) byDay[feedDay(posts[i])].push_back(i);
  std::vector<int> orders(posts.size(), 0);
  for (auto& [day, indexes] : byDay) {
    // Oldest first: the earlier time, and of one second the later place in the list.
    std::sort(indexes.begin(), indexes.end(), [&](std::size_t a, std::size_t b) {
      const std::time_t ta = posts[a].created.value_or(0);
      const std::time_t tb = posts[b].created.value_or(0);
      return ta != tb ? ta < tb : a > b;
    });
    for (std::size_t place = 0; place < indexes.size(); ++place)
      orders[indexes[place]] = static_cast<int>(place) + 1;
  }
  return orders;
}

std::string feedFileStem(const FeedPost& post, int dayOrder, int mediaOrder) {
  const std::string day = feedDay(post);
  return (day.empty() ? "0000-00-00" : day) + "_" + std::to_string(dayOrder) + "_" +
         std::to_string(mediaOrder);
}

std::string feedYear(const FeedPost& post) {
  const std::string day = feedDay(post);
  return day.empty() ? "0000" : day.substr(0, 4);
}

std::string feedMediaKey(const FeedMedia& media) {
  if (!media.id.empty()) return media.id;
  if (media.copies.empty()) return "";
  std::string key = photoIdentity(CopyKind::original, "", "", media.copies.front()).key;
  const std::size_t slash = key.rfind('/');
  if (slash != std::string::npos && slash + 2 == key.size() && key[slash + 1] >= 'a' && key[slash + 1] <= 'z')
    key.resize(slash);
  return key;
}

}  // namespace fotolun
