// Session credentials from a sign-in cookie text, and the lock-guarded credentials record.
//
// Markers such as " uin=" and "; skey=(.*?);" would miss a cookie standing first or last in the
// text, so a good sign-in could read as none. Here the
// cookie text is taken apart into name=value items and the two cookies are found by their exact
// names wherever they stand; names that merely end the same way (p_skey, luin) never match.
#include "session/session_credentials.h"

#include <cstdint>
#include <optional>
#include <string>

#include "session/regex_object.h"

namespace fotolun {
namespace {

// The value of the first cookie named exactly name, or nothing when there is none.
std::optional<Text> CookieValue(const Text& cookieText, std::string_view name) {
  for (const Text& piece : SplitText(cookieText, ";")) {
    const Text item = TrimSpaces(piece);
    const int eq = FindText(item, "=");
    if (eq == -1) continue;
    if (TrimSpaces(std::string_view(item).substr(0, eq - 1)) != name) continue;
    return TrimSpaces(std::string_view(item).substr(eq));
  }
  return std::nullopt;
}

}  // namespace

SessionCredentials CredentialsFromCookieText(const Text& cookieText) {
  SessionCredentials credentials;
  credentials.cookieText = cookieText;
  // The uin cookie carries "o" and leading zeros before the digits ("o0012345678").
  RegexObject regex;
  regex.execute("o0*(\\d+)", CookieValue(cookieText, "uin").value_or(Text()));
  credentials.uin = regex.subMatchText(1, 1);
  credentials.gTk = computeGTk(cookieText);
  return credentials;
}

// hash := hash * 33 + c modulo 2^32 from 5381, the low 31 bits as decimal. A byte of 0x80 or more
// (never seen in a session key) counts with its byte value.
Text computeGTk(const Text& cookieText) {
  const Text skey = CookieValue(cookieText, "skey").value_or(Text());
  uint32_t hash = 5381;
  for (const char ch : skey) hash = hash * 33u + static_cast<unsigned char>(ch);
  return std::to_string(hash & 0x7FFFFFFFu);
}

SessionCredentials CredentialStore::get() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return credentials_;
}

void CredentialStore::set(SessionCredentials credentials) {
  std::lock_guard<std::mutex> lock(mutex_);
  credentials_ = std::move(credentials);
  ++generation_;
}

ByteBuffer CredentialStore::withCookies(const std::function<ByteBuffer(Text& cookies)>& request) {
  Text cookies;
  unsigned long generation = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    cookies = credentials_.cookieText;
    generation = generation_;
  }
  // The request runs without the lock: a sign-in must not wait for a slow transfer.
  ByteBuffer body = request(cookies);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (generation_ == generation) credentials_.cookieText = std::move(cookies);
  }
  return body;
}

}  // namespace fotolun
