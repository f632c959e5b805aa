#pragma once
#include "text/gbk_text.h"

namespace fotolun {

// The header lines of a photo request, as the service's photo page sends them: CR LF between the
// lines, none after the last.
Text photoRequestHeaders(const Text& staticPageHost, const Text& albumId);

}  // namespace fotolun
