#include "net/curl_global.h"

#include <curl/curl.h>

#include <mutex>

namespace fotolun {

void EnsureCurlReady() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace fotolun
