#include "app/app_addresses.h"

#include "text/encoding.h"

// Only this file sees the build's settings, so changing one rebuilds one file.
#ifndef FOTOLUN_UPDATE_URL
#define FOTOLUN_UPDATE_URL ""
#endif
#ifndef FOTOLUN_FEEDBACK_URL
#define FOTOLUN_FEEDBACK_URL ""
#endif
#ifndef FOTOLUN_HOME_URL
#define FOTOLUN_HOME_URL ""
#endif

namespace fotolun {

AppAddresses builtInAddresses() {
  return AppAddresses{FOTOLUN_UPDATE_URL, FOTOLUN_FEEDBACK_URL, FOTOLUN_HOME_URL};
}

AppAddresses appAddressesFromEnvironment(const std::function<const char*(const char*)>& lookup) {
  AppAddresses addresses = builtInAddresses();
  auto take = [&](const char* name, Text& address) {
    const char* value = lookup(name);
    if (value != nullptr && *value != '\0') address = Utf8ToGbk(value);
  };
  take("FOTOLUN_UPDATE_URL", addresses.updatePage);
  take("FOTOLUN_FEEDBACK_URL", addresses.feedbackPage);
  take("FOTOLUN_HOME_URL", addresses.homePage);
  return addresses;
}

}  // namespace fotolun
