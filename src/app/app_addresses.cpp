#include "app/app_addresses.h"

#include "text/encoding.h"

namespace fotolun {

AppAddresses appAddressesFromEnvironment(const std::function<const char*(const char*)>& lookup) {
  AppAddresses addresses;
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
