#include "endpoints/service_hosts.h"

namespace fotolun {

ServiceHosts serviceHostsFromEnvironment(const std::function<const char*(const char*)>& lookup) {
  ServiceHosts hosts;
  auto take = [&](const char* name, Text& host) {
    const char* value = lookup(name);
    if (value != nullptr && *value != '\0') host = value;
  };
  take("FOTOLUN_ROUTING_HOST", hosts.routing);
  take("FOTOLUN_PERSONAL_HOST", hosts.personalSpace);
  take("FOTOLUN_GROUP_HOST", hosts.groupPhoto);
  take("FOTOLUN_STATIC_PAGE_HOST", hosts.staticPage);
  take("FOTOLUN_STATIC_IMAGE_HOST", hosts.staticImage);
  take("FOTOLUN_H5_HOST", hosts.h5);
  return hosts;
}

}  // namespace fotolun
