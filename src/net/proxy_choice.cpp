#include "net/proxy_choice.h"

#include <cctype>

namespace fotolun {

std::optional<std::string> ProxyFromEnvironment(std::string_view url, const EnvironmentLookup& lookup) {
  std::string scheme;
  const auto colon = url.find("://");
  if (colon != std::string_view::npos) {
    for (char c : url.substr(0, colon))
      scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  const bool secure = scheme == "https";
  if (!scheme.empty() && scheme != "http" && !secure) return std::nullopt;
  // Arrays, not initializer lists: a list chosen by ?: outlives its elements.
  static constexpr const char* kSecure[] = {"https_proxy", "HTTPS_PROXY"};
  static constexpr const char* kPlain[] = {"http_proxy", "HTTP_PROXY"};
  for (const char* name : secure ? kSecure : kPlain) {
    const char* value = lookup(name);
    if (value && *value) return std::string(value);
  }
  return std::nullopt;
}

}  // namespace fotolun
