#pragma once
// The session as today's service is sent it: one cookie jar for the run's https-family requests,
// where libcurl picks per request the cookies whose domain, path and expiry match, and keeps what
// the service sets on the way (its one-time photo key among them), so that the key it handed out
// goes back with the next list and with every photo.
//
// The sign-in's cookies carry no domain (document.cookie, a cookie file's name=value text). They
// go in on .qq.com, where the service's sign-in shares them, and host-only on each configured
// host outside qq.com; the photo hosts of other domains (qpic.cn) get none of them, as a
// browser's would not. The credentials stay the record: the jar is filled from them whenever they
// change (a new sign-in, a renewal the older endpoints brought) and what the jar takes from a
// reply reaches them too, so a renewed cookies.txt and the other family see it.
#include <mutex>
#include <vector>

#include "endpoints/service_hosts.h"
#include "net/cookie_jar.h"
#include "session/session_credentials.h"

namespace fotolun {

class SessionJar {
 public:
  explicit SessionJar(CredentialStore& credentials) : credentials_(credentials) {}

  // The jar (a CURLSH* to attach as TransferRequest::cookieShare), holding the session as the
  // credentials hold it now.
  void* prepare(const ServiceHosts& hosts);
  // After a request: the cookies its reply set ("a=1; b=2", as CookiesSetBy gives them) go to the
  // credentials' cookie-store share, unless a sign-in replaced the session the jar holds.
  void learned(const Text& setCookies);

  // Takes the cookie of that name out of the jar (as the sign-in or the service set it on a domain
  // and "/") and out of the credentials: the next list then asks for a fresh one-time key.
  void forget(const Text& name);

  // The jar's cookies as cookies.txt lines.
  std::vector<std::string> lines() const { return jar_.lines(); }

 private:
  CredentialStore& credentials_;
  CookieJar jar_;
  std::mutex mutex_;
  // What the jar was last filled from: the whole session's text, its generation and domains.
  Text loaded_;
  unsigned long generation_ = 0;
  bool filled_ = false;
  std::vector<Text> domains_;
};

}  // namespace fotolun
