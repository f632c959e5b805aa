#include "standin/photo_keys.h"

#include "standin/picture_bytes.h"
#include "standin/session_check.h"

namespace fotolun::standin {

std::string PhotoKeys::keyOf(const Request& request, bool& minted) {
  minted = false;
  if (std::optional<std::string> carried = RequestCookie(request, kPhotoKeyCookie);
      carried && !carried->empty())
    return *carried;
  std::lock_guard lock(mutex_);
  minted = true;
  const int serial = ++minted_;
  const std::uint64_t hash = Fnv1a("photo key " + std::to_string(serial), seed_);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string key;
  for (int shift = 60; shift >= 0; shift -= 4) key += kHex[(hash >> shift) & 0xF];
  return key;
}

std::string PhotoKeys::newKeyCookie(const std::string& key) {
  return std::string(kPhotoKeyCookie) + "=" + key + "; Domain=.qq.com; Path=/";
}

void PhotoKeys::bind(const std::vector<std::string>& pictures, const std::string& key) {
  std::lock_guard lock(mutex_);
  for (const std::string& picture : pictures) boundTo_[picture] = key;
}

bool PhotoKeys::admits(const Request& request, const std::string& host, const std::string& picture) const {
  static constexpr std::string_view kFamily = ".photo.store.qq.com";
  if (!host.ends_with(kFamily) && host != kFamily.substr(1)) return true;
  std::string key;
  {
    std::lock_guard lock(mutex_);
    const auto bound = boundTo_.find(picture);
    if (bound == boundTo_.end()) return true;
    key = bound->second;
  }
  if (RequestCookie(request, kPhotoKeyCookie) == key) return true;
  ++refused_;
  return false;
}

int PhotoKeys::minted() const {
  std::lock_guard lock(mutex_);
  return minted_;
}

}  // namespace fotolun::standin
