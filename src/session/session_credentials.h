#pragma once
#include <functional>
#include <mutex>
#include <optional>
#include <utility>

#include "text/gbk_text.h"

namespace fotolun {

struct SessionCredentials {
  Text cookieText;  // "name=value; name=value" as the signed-in page's document.cookie gives it
  Text uin;         // the signed-in QQ number, digits only
  Text gTk;         // the anti-forgery token computed from skey
  // The service's cookies as the browser's cookie store holds them, those script cannot read
  // (HttpOnly p_skey) included, "name=value; ..."; empty when the sign-in gave only cookieText.
  // Only the https endpoints get them: the older endpoints are sent document.cookie as it is.
  Text storeCookies;
};

// cookieText with the cookie store's cookies added (a store value wins over a script-visible one
// of the same name), as the https endpoints are sent it.
Text wholeSessionCookies(const SessionCredentials& credentials);
// The token the https endpoints check: the hash of p_skey, or of skey when there is no p_skey.
Text pSkeyGTk(const SessionCredentials& credentials);

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
  // With wholeSession the request gets wholeSessionCookies and what it merges in is kept as the
  // cookie store's share.
  ByteBuffer withCookies(const std::function<ByteBuffer(Text& cookies)>& request, bool wholeSession = false);

  // The record and its generation, which a new sign-in (set) moves on.
  std::pair<SessionCredentials, unsigned long> getWithGeneration() const;
  // Merges the cookies a reply set ("a=1; b=2") into the cookie store's share, as withCookies
  // with wholeSession does, unless a new sign-in replaced the record since generation. Returns
  // wholeSessionCookies before and after the merge, or nothing when it was dropped.
  std::optional<std::pair<Text, Text>> mergeStoreCookies(Text setCookies, unsigned long generation);

 private:
  mutable std::mutex mutex_;
  SessionCredentials credentials_;
  unsigned long generation_ = 0;
};

}  // namespace fotolun
