#pragma once
// The project's own web pages that the program reads or opens. Defaults are built in; a packager
// or a test points them elsewhere through the environment.
#include <cstdlib>
#include <functional>

#include "text/gbk_text.h"

namespace fotolun {

// The build sets them (cmake -DFOTOLUN_UPDATE_URL=... and so on); these are the project's own.
#ifndef FOTOLUN_UPDATE_URL
#define FOTOLUN_UPDATE_URL "http://fotolun.example.org/update.txt"
#endif
#ifndef FOTOLUN_FEEDBACK_URL
#define FOTOLUN_FEEDBACK_URL "http://fotolun.example.org/feedback"
#endif
#ifndef FOTOLUN_HOME_URL
#define FOTOLUN_HOME_URL "http://fotolun.example.org/"
#endif

struct AppAddresses {
  Text updatePage = FOTOLUN_UPDATE_URL;      // read by the version check
  Text feedbackPage = FOTOLUN_FEEDBACK_URL;  // toolbar item 4
  Text homePage = FOTOLUN_HOME_URL;          // the link label 标签7
};

// The defaults, each overridden by its environment variable when set and non-empty:
// FOTOLUN_UPDATE_URL, FOTOLUN_FEEDBACK_URL, FOTOLUN_HOME_URL.
AppAddresses appAddressesFromEnvironment(const std::function<const char*(const char*)>& lookup =
                                             [](const char* name) { return std::getenv(name); });

}  // namespace fotolun
