#pragma once
#include <string_view>

namespace fotolun {

// Whether host lies in one of the service's own domains (qq.com, qpic.cn, or below them on a dot
// boundary), ignoring letter case, a cookie domain's leading dot and a fully qualified trailing
// dot. Only these hosts get the session's cookies, as a browser would send them.
bool isServiceDomain(std::string_view host);

}  // namespace fotolun
