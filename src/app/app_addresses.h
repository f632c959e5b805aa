#pragma once
// The project's own web pages that the program reads or opens. A build names them; a packager or a
// test points them elsewhere through the environment. An empty address is a page not configured:
// the program then sends nothing and says so.
#include <cstdlib>
#include <functional>

#include "text/gbk_text.h"

namespace fotolun {

struct AppAddresses {
  Text updatePage;    // read by the version check
  Text feedbackPage;  // toolbar item 4
  Text homePage;      // the link label 标签7
};

// The build's addresses (cmake -DFOTOLUN_UPDATE_URL=... and so on).
AppAddresses builtInAddresses();

// The build's addresses, each overridden by its environment variable when set and non-empty:
// FOTOLUN_UPDATE_URL, FOTOLUN_FEEDBACK_URL, FOTOLUN_HOME_URL.
AppAddresses appAddressesFromEnvironment(const std::function<const char*(const char*)>& lookup =
                                             [](const char* name) { return std::getenv(name); });

}  // namespace fotolun
