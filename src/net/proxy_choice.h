#pragma once
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace fotolun {

using EnvironmentLookup = std::function<const char*(const char*)>;

// The proxy the environment names for this URL's scheme: http_proxy, else HTTP_PROXY for http;
// https_proxy, else HTTPS_PROXY for https. libcurl itself ignores the upper-case HTTP_PROXY
// (a CGI program can have it set from a request's "Proxy:" header); this desktop program has no
// such exposure and users expect it honoured. no_proxy is left to libcurl, which applies it.
std::optional<std::string> ProxyFromEnvironment(
    std::string_view url,
    const EnvironmentLookup& lookup = [](const char* name) { return std::getenv(name); });

}  // namespace fotolun
