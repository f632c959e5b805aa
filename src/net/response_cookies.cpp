#include "net/response_cookies.h"

namespace fotolun {

Text SpellSetCookie(std::string_view headerText) {
  return ReplaceText(headerText, "Set-Cookie", "Set-Cookie", false);
}

Text CookiesSetBy(std::string_view headerText) {
  Text cookies;
  for (const Text& line : SplitText(headerText, "\r\n")) {
    // Only a line named Set-Cookie sets a cookie; another header merely mentioning it does not.
    if (line.compare(0, 11, "Set-Cookie:") != 0) continue;
    const Text pair = FindText(line, ";") == -1 ? ReplaceText(line, "Set-Cookie:", "", false)
                                                : TextBetween(line, "Set-Cookie:", ";");
    cookies += TrimSpaces(pair) + "; ";
  }
  if (cookies.size() >= 2) cookies.resize(cookies.size() - 2);
  return cookies;
}

}  // namespace fotolun
