#include "download/photo_request_headers.h"

namespace fotolun {

Text photoRequestHeaders(const Text& staticPageHost, const Text& albumId) {
  return ConcatText(
      "Accept: */*\r\n", "Referer: http://", staticPageHost,
      "/qzone/photo/v7/page/photo.html?init=photo.v7/module/photoList2/index&navBar=1&normal=1&aid=", albumId,
      "\r\n", "Accept-Language: zh-CN\r\n",
      "User-Agent: Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.1; WOW64; Trident/4.0; MRA 6.3 (build "
      "8065); "
      "MRA 8.4 (build 7786); SLCC2; .NET CLR 2.0.50727; .NET CLR 3.5.30729; .NET CLR 3.0.30729; Media Center "
      "PC "
      "6.0; .NET4.0C; .NET4.0E; InfoPath.2; {D9D54F49-E51C-445e-92F2-1EE3C2313240})");
}

}  // namespace fotolun
