#pragma once
// The project's own web pages that the program reads or opens. Defaults are built in; a packager
// or a test points them elsewhere through the environment.
#include <cstdlib>
#include <functional>

#include "text/gbk_text.h"

namespace fotolun {

struct AppAddresses {
  Text updatePage = "http://fotolun.example.org/update.txt";  // read by the version check
  Text feedbackPage = "http://fotolun.example.org/feedback";  // toolbar item 4
  Text homePage = "http://fotolun.example.org/";              // the link label 标签7
};

// The defaults, each overridden by its environment variable when set and non-empty:
// FOTOLUN_UPDATE_URL, FOTOLUN_FEEDBACK_URL, FOTOLUN_HOME_URL.
AppAddresses appAddressesFromEnvironment(const std::function<const char*(const char*)>& lookup =
                                             [](const char* name) { return std::getenv(name); });

}  // namespace fotolun
