#pragma once
#include <cstdlib>
#include <functional>

#include "text/gbk_text.h"

namespace fotolun {

// The fixed hosts of the photo service, by role. The album host comes from the route lookup and
// photo hosts come in the replies.
struct ServiceHosts {
  Text routing = "route.store.qq.com";
  Text personalSpace = "user.qzone.qq.com";
  Text groupPhoto = "u.photo.qzone.qq.com";
  Text staticPage = "qzs.qq.com";
  Text staticImage = "imgcache.qq.com";
  Text h5 = "h5.qzone.qq.com";  // the https photo viewer and group endpoints
};

// The defaults, each overridden by its environment variable when set and non-empty:
// FOTOLUN_ROUTING_HOST, FOTOLUN_PERSONAL_HOST, FOTOLUN_GROUP_HOST, FOTOLUN_STATIC_PAGE_HOST,
// FOTOLUN_STATIC_IMAGE_HOST, FOTOLUN_H5_HOST.
ServiceHosts serviceHostsFromEnvironment(const std::function<const char*(const char*)>& lookup =
                                             [](const char* name) { return std::getenv(name); });

}  // namespace fotolun
