#pragma once
// A 206 answer to "Range: bytes=0-" is a whole file only when its Content-Range says so.
#include <cstddef>
#include <string_view>

namespace fotolun {

// Whether headers (a response's header block) hold "Content-Range: bytes 0-<n-1>/<n>" for a body
// of n bytes: the part given is the whole file.
bool rangeCoversWholeBody(std::string_view headers, std::size_t bodyBytes);

}  // namespace fotolun
