#include "service/current_headers.h"

namespace fotolun {

Text albumPageAddress(const ServiceHosts& hosts, const Text& number) {
  return ConcatText("https://", hosts.personalSpace, "/", number, "/4");
}

Text pageRequestHeaders(PageRequest kind, const Text& referer) {
  std::string_view accept = "*/*";
  if (kind == PageRequest::picture)
    accept = "image/avif,image/webp,image/apng,image/svg+xml,image/*,*/*;q=0.8";
  Text lines = ConcatText("User-Agent: ", kBrowserAgent, "\r\nAccept: ", accept, "\r\nReferer: ", referer,
                          "\r\nAccept-Language: zh-CN,zh;q=0.9");
  if (kind == PageRequest::video) lines += "\r\nRange: bytes=0-";
  return lines;
}

}  // namespace fotolun
