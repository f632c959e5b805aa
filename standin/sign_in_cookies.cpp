#include "standin/sign_in_cookies.h"

#include <algorithm>

#include "standin/derived_token.h"

namespace fotolun::standin {
namespace {

constexpr std::string_view kLayoutNames[] = {"inside", "uin-first", "uin-last", "skey-first", "skey-last"};

void MoveCookie(std::vector<Cookie>& cookies, std::string_view name, bool toFront) {
  const auto at =
      std::find_if(cookies.begin(), cookies.end(), [&](const Cookie& c) { return c.name == name; });
  Cookie moved = *at;
  cookies.erase(at);
  if (toFront) {
    cookies.insert(cookies.begin(), std::move(moved));
  } else {
    cookies.push_back(std::move(moved));
  }
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

std::string_view CookieLayoutName(CookieLayout layout) { return kLayoutNames[static_cast<int>(layout)]; }

std::optional<CookieLayout> CookieLayoutNamed(std::string_view name) {
  for (int i = 0; i < 5; ++i) {
    if (kLayoutNames[i] == name) return static_cast<CookieLayout>(i);
  }
  return std::nullopt;
}

std::string UinCookieValue(std::string_view qq) {
  std::string digits(qq);
  while (digits.size() < 10) digits.insert(0, "0");
  return "o" + digits;
}

std::string SkeyFor(std::uint64_t seed, std::string_view qq) {
  return "@" + DerivedToken(seed, {"skey", qq}, 9);
}

std::string PSkeyFor(std::uint64_t seed, std::string_view qq) {
  return DerivedToken(seed, {"p_skey", qq}, 44,
                      "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-*_");
}

std::vector<Cookie> SignInCookies(std::uint64_t seed, std::string_view qq, CookieLayout layout) {
  const std::string uin = UinCookieValue(qq);
  const std::string hex = "0123456789abcdef";
  const std::string wide = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-*_";
  std::vector<Cookie> cookies = {
      {"pgv_pvid", DerivedToken(seed, {"pgv_pvid", qq}, 10, "0123456789")},
      {"RK", DerivedToken(seed, {"RK", qq}, 10)},
      {"ptcz", DerivedToken(seed, {"ptcz", qq}, 64, hex)},
      {"uin", uin},
      {"skey", SkeyFor(seed, qq)},
      {"p_uin", uin},
      {"pt4_token", DerivedToken(seed, {"pt4_token", qq}, 44, wide)},
      {"p_skey", PSkeyFor(seed, qq)},
      {"luin", uin},
      {"lskey", "0001" + DerivedToken(seed, {"lskey", qq}, 32, hex)},
      {"pt2gguin", uin},
  };
  switch (layout) {
    case CookieLayout::Inside:
      break;
    case CookieLayout::UinFirst:
      MoveCookie(cookies, "uin", true);
      break;
    case CookieLayout::UinLast:
      MoveCookie(cookies, "uin", false);
      break;
    case CookieLayout::SkeyFirst:
      MoveCookie(cookies, "skey", true);
      break;
    case CookieLayout::SkeyLast:
      MoveCookie(cookies, "skey", false);
      break;
  }
  return cookies;
}

std::string DocumentCookieText(const std::vector<Cookie>& cookies) {
  std::string text;
  for (const Cookie& cookie : cookies) {
    if (!text.empty()) text += "; ";
    text += cookie.name + "=" + cookie.value;
  }
  return text;
}

std::string SetCookieValue(const Cookie& cookie, std::string_view requestHost) {
  std::string value = cookie.name + "=" + cookie.value + "; Path=/";
  if (EndsWith(requestHost, ".qq.com")) value += "; Domain=qq.com";
  return value;
}

}  // namespace fotolun::standin
