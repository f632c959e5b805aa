#pragma once
// The cookies a sign-in leaves in the browser. Their order is the order of document.cookie (all
// share one path, so the browser lists them as they were set), and the layouts put uin and skey
// first or last on purpose: a reader that looks for "; skey=" or " uin=" misses them there.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fotolun::standin {

enum class CookieLayout { Inside, UinFirst, UinLast, SkeyFirst, SkeyLast };

struct Cookie {
  std::string name;
  std::string value;
};

// "inside", "uin-first", "uin-last", "skey-first", "skey-last".
std::string_view CookieLayoutName(CookieLayout layout);
std::optional<CookieLayout> CookieLayoutNamed(std::string_view name);

// "o" and the number padded with zeros to ten digits, as the uin cookie carries it.
std::string UinCookieValue(std::string_view qq);
std::string SkeyFor(std::uint64_t seed, std::string_view qq);
std::string PSkeyFor(std::uint64_t seed, std::string_view qq);

std::vector<Cookie> SignInCookies(std::uint64_t seed, std::string_view qq, CookieLayout layout);
// "name=value; name=value", as document.cookie shows them.
std::string DocumentCookieText(const std::vector<Cookie>& cookies);
// A Set-Cookie value readable from script (no HttpOnly). On a service host the cookie is shared by
// every host of the service, as the real sign-in does; elsewhere (a loopback origin) it stays host-only.
std::string SetCookieValue(const Cookie& cookie, std::string_view requestHost);

}  // namespace fotolun::standin
