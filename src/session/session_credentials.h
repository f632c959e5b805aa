#pragma once
#include <functional>
#include <mutex>

#include "text/gbk_text.h"

namespace fotolun {

struct SessionCredentials {
  Text cookieText;  // "name=value; name=value" as the signed-in page's document.cookie gives it
  Text uin;         // the signed-in QQ number, digits only
  Text gTk;         // the anti-forgery token computed from skey
};

// Credentials as a sign-in cookie text gives them (uin and gTk derived from it). The uin and skey
// cookies are found by their exact names wherever they stand in the text (first and last too);
// p_skey, luin and other names that merely end the same way never match.
SessionCredentials CredentialsFromCookieText(const Text& cookieText);

// The g_tk token of a cookie text: the hash of its skey cookie; "5381" without one.
Text computeGTk(const Text& cookieText);

// The program's one credentials record. Workers read it while a new sign-in may replace it and
// requests merge response cookies into it, so every access goes through this lock.
class CredentialStore {
 public:
  SessionCredentials get() const;
  void set(SessionCredentials credentials);

  // Runs a request with a copy of the cookie text (the request merges response cookies into the
  // copy) and stores the merged copy back, unless a new sign-in replaced the record meanwhile.
  ByteBuffer withCookies(const std::function<ByteBuffer(Text& cookies)>& request);

 private:
  mutable std::mutex mutex_;
  SessionCredentials credentials_;
  unsigned long generation_ = 0;
};

}  // namespace fotolun
