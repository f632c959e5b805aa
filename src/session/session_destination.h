#pragma once
#include "endpoints/service_hosts.h"
#include "text/gbk_text.h"

namespace fotolun {

// Whether a request to url may carry the session cookies: only hosts of the service's own
// domains (qq.com, qpic.cn and their subdomains, as a browser would send them) and the hosts the
// user configured for the service's roles. A host named by a reply (an album host, a photo
// address) elsewhere must never learn the sign-in.
bool maySendSession(const ServiceHosts& hosts, const Text& url);

// The host of url, without user, port or brackets, "" when there is none.
Text hostOfUrl(const Text& url);

}  // namespace fotolun
