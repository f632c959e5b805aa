#pragma once
// The header lines of today's service's own pages, for the https family's requests: the service
// refuses requests that do not look like them (code -10049). The older family keeps its own.
#include <string_view>

#include "endpoints/service_hosts.h"
#include "text/gbk_text.h"

namespace fotolun {

// One current desktop browser, updated with releases.
inline constexpr std::string_view kBrowserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/143.0.0.0 Safari/537.36";

enum class PageRequest {
  script,   // a list or the viewer, which the pages load as scripts (JSONP) or fetch
  picture,  // an <img>
  video,    // a <video>, which asks for its file from the first byte on
};

// The page that shows number's albums (a QQ number or a group's): the Referer of its lists,
// photos and videos.
Text albumPageAddress(const ServiceHosts& hosts, const Text& number);

// The lines a browser sends for such a request from that page, CR LF between them: agent, Accept,
// Referer, Accept-Language (and the Range of a video); never a Content-Type on a GET.
Text pageRequestHeaders(PageRequest kind, const Text& referer);

}  // namespace fotolun
