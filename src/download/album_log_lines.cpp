#include "download/album_listing.h"
#include "text/encoding.h"

namespace fotolun {

Text albumOpeningLine(const Text& albumName) {
  return Utf8ToGbk("准备下载相册《") + albumName + Utf8ToGbk("》\r\n\r\n");
}

Text albumClosingLine(const Text& albumName, int hyphens) {
  return Text(static_cast<size_t>(hyphens), '-') + Utf8ToGbk("完成相册《") + albumName +
         Utf8ToGbk("》下载\r\n\r\n");
}

}  // namespace fotolun
