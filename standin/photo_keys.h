#pragma once
// The one-time photo key of today's service. A photo list asked without a qq_photo_key cookie
// hands out a new key (Set-Cookie: qq_photo_key=...; Domain=.qq.com; Path=/, the attributes
// guessed) and binds the photo addresses it lists to the key the request carried or was given.
// A photo host of the photo.store.qq.com family asked for a bound address without that key
// answers with the placeholder picture, HTTP 200, as the service does. Addresses no such list
// named are served to anyone (the older family's lists bind nothing).
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "standin/http_server.h"

namespace fotolun::standin {

inline constexpr std::string_view kPhotoKeyCookie = "qq_photo_key";

class PhotoKeys {
 public:
  explicit PhotoKeys(std::uint64_t seed) : seed_(seed) {}

  // The key the request carries, else a new one, which the reply must then set (newKeyCookie).
  std::string keyOf(const Request& request, bool& minted);
  static std::string newKeyCookie(const std::string& key);
  // The pictures (PictureSource keys) a list reply named go with key.
  void bind(const std::vector<std::string>& pictures, const std::string& key);
  // Whether a request for picture (on host) may have it: true unless the picture is bound to a
  // key on a photo.store.qq.com host and the request does not carry that key.
  bool admits(const Request& request, const std::string& host, const std::string& picture) const;
  // How many keys have been handed out, and how many photo requests got the placeholder for want
  // of the key.
  int minted() const;
  int refused() const { return refused_; }

 private:
  std::uint64_t seed_;
  mutable std::mutex mutex_;
  std::map<std::string, std::string> boundTo_;  // picture -> key
  int minted_ = 0;
  mutable std::atomic<int> refused_{0};
};

}  // namespace fotolun::standin
