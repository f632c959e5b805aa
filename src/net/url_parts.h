#pragma once
#include <initializer_list>

#include "text/gbk_text.h"

namespace fotolun {

Text UrlHost(std::string_view url, bool keepPort = false);
int UrlPort(std::string_view url);
// Whether the first five characters, in any letter case, are "https".
bool IsHttpsUrl(std::string_view url);
Text UrlPath(std::string_view url);

ByteBuffer ConcatBytes(std::initializer_list<std::string_view> buffers);

// 1-based number of the first "\r\n" line holding needle, or 0.
int FindLineContaining(std::string_view text, std::string_view needle, bool caseSensitive = false);
// The n-th (1-based) "\r\n" line, or "" when there is none.
Text LineAt(std::string_view text, int n);

Text HeaderName(std::string_view line);
Text HeaderValue(std::string_view line);
// The value of the first "\r\n" line of headers named name (in any letter case) as a number
// (saturating at 10^15); -1 when there is no such line or its value is not all digits.
long long HeaderNumber(std::string_view headers, std::string_view name);

}  // namespace fotolun
