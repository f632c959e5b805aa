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

#include "net/cookies.h"
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
Text tokenHash(std::string_view key) {
  uint32_t hash = 5381;
  for (const char ch : key) hash = hash * 33u + static_cast<unsigned char>(ch);
  return std::to_string(hash & 0x7FFFFFFFu);
}

Text computeGTk(const Text& cookieText) {
  return tokenHash(CookieValue(cookieText, "skey").value_or(Text()));
}

Text wholeSessionCookies(const SessionCredentials& credentials) {
  if (credentials.storeCookies.empty()) return credentials.cookieText;
  Text whole;
  const auto add = [&whole](const Text& item) {
    if (item.empty()) return;
    if (!whole.empty()) whole += "; ";
    whole += item;
  };
  for (const Text& piece : SplitText(credentials.cookieText, ";")) {
    const Text item = TrimSpaces(piece);
    const int eq = FindText(item, "=");
    const Text name = eq == -1 ? item : TrimSpaces(std::string_view(item).substr(0, eq - 1));
    if (!CookieValue(credentials.storeCookies, name)) add(item);
  }
  for (const Text& piece : SplitText(credentials.storeCookies, ";")) add(TrimSpaces(piece));
  return whole;
}

Text pSkeyGTk(const SessionCredentials& credentials) {
  const Text whole = wholeSessionCookies(credentials);
  if (const std::optional<Text> pSkey = CookieValue(whole, "p_skey"); pSkey && !pSkey->empty())
    return tokenHash(*pSkey);
  return computeGTk(whole);
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

ByteBuffer CredentialStore::withCookies(const std::function<ByteBuffer(Text& cookies)>& request,
                                        bool wholeSession) {
  Text cookies;
  unsigned long generation = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    cookies = wholeSession ? wholeSessionCookies(credentials_) : credentials_.cookieText;
    generation = generation_;
  }
  // The request runs without the lock: a sign-in must not wait for a slow transfer.
  ByteBuffer body = request(cookies);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (generation_ != generation) return body;
    // The whole session (renewed cookies included) stays with the store's share, so that
    // document.cookie's text goes on unchanged to the endpoints that want exactly it.
    if (wholeSession) {
      credentials_.storeCookies = std::move(cookies);
    } else {
      credentials_.cookieText = std::move(cookies);
    }
  }
  return body;
}

std::pair<SessionCredentials, unsigned long> CredentialStore::getWithGeneration() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return {credentials_, generation_};
}

std::optional<std::pair<Text, Text>> CredentialStore::mergeStoreCookies(Text setCookies,
                                                                        unsigned long generation) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (generation_ != generation) return std::nullopt;
  const Text before = wholeSessionCookies(credentials_);
  Text whole = before;
  if (!setCookies.empty()) {
    MergeCookies(whole, setCookies);
    credentials_.storeCookies = whole;
  }
  return std::pair{before, whole};
}

}  // namespace fotolun
