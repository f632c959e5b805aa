#pragma once
#include "text/gbk_text.h"

namespace fotolun {

// Whether a request to url may carry the session cookies: only hosts of the service's own
// domains (qq.com, qpic.cn and their subdomains) get them, as a browser would send them; a
// photo address elsewhere must not learn the sign-in.
bool sendsSessionCookies(const Text& url);

}  // namespace fotolun
