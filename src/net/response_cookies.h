#pragma once
#include "text/gbk_text.h"

namespace fotolun {

// The header text with every "Set-Cookie", in whatever letter case the server wrote it, spelled
// "Set-Cookie".
Text SpellSetCookie(std::string_view headerText);

// The first name=value pair of every Set-Cookie line (a header of that name), trimmed, joined by "; ". Cookie
// attributes (path, domain, expires) are never kept.
Text CookiesSetBy(std::string_view headerText);

}  // namespace fotolun
