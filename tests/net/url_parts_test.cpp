// Splitting addresses and header text the way both clients do.
#include "net/url_parts.h"

#include <gtest/gtest.h>

#include "net/request_headers.h"
#include "net/response_cookies.h"

namespace fotolun {
namespace {

TEST(UrlPartsTest, HostAndPortFollowTheScheme) {
  EXPECT_EQ(UrlHost("http://User.Qzone.qq.com/p/a?x=1"), "User.Qzone.qq.com");
  EXPECT_EQ(UrlHost("https://b.example:8443/p?q=1"), "b.example");
  EXPECT_EQ(UrlHost("https://b.example:8443/p?q=1", true), "b.example:8443");
  EXPECT_EQ(UrlHost("route.example/cgi"), "route.example");
  EXPECT_EQ(UrlHost("http://bare.example"), "bare.example");

  EXPECT_EQ(UrlPort("route.example/cgi"), 80);
  EXPECT_EQ(UrlPort("http://a.example/"), 80);
  EXPECT_EQ(UrlHost("HTTP://A.example:81/x"), "A.example");
  EXPECT_EQ(UrlPort("HTTPS://a.example/"), 443);
  EXPECT_EQ(UrlPort("https://b.example:8443/p"), 8443);
  EXPECT_EQ(UrlPort("http://a.example:81x/"), 81);
  EXPECT_EQ(UrlPort("http://a.example:/"), 0);
  EXPECT_EQ(UrlPort("http://a.example:99999999999999/"), 2147483647);
}

TEST(UrlPartsTest, PathKeepsTheQueryAndStartsBehindTheHost) {
  EXPECT_EQ(UrlPath("https://b.example:8443/p/q.jpg?w=1&h=2"), "/p/q.jpg?w=1&h=2");
  EXPECT_EQ(UrlPath("route.example/cgi?uin=1"), "/cgi?uin=1");
  EXPECT_EQ(UrlPath("http://bare.example"), "/");
  EXPECT_EQ(UrlPath("http://bare.example:8080"), "/");
  // Hosts whose names also stand inside the scheme.
  EXPECT_EQ(UrlPath("http://tp.example/x"), "/x");
  EXPECT_EQ(UrlPath("https://s/y?q"), "/y?q");
  EXPECT_EQ(UrlPath("http://h:81/z"), "/z");
  // A scheme counts only at the start.
  EXPECT_EQ(UrlHost("route.example/go?to=http://x.example/"), "route.example");
  EXPECT_EQ(UrlPath("route.example/go?to=http://x.example/"), "/go?to=http://x.example/");
}

TEST(UrlPartsTest, BytesAndLines) {
  EXPECT_EQ(ConcatBytes({}), "");
  EXPECT_EQ(ConcatBytes({"", std::string_view("a\0b", 3), "", "c"}), std::string("a\0bc", 4));

  const Text text = "first line\r\nSecond Line\r\n\r\nlast";
  EXPECT_EQ(FindLineContaining(text, "second"), 2);
  EXPECT_EQ(FindLineContaining(text, "second", true), 0);
  EXPECT_EQ(FindLineContaining(text, "last"), 4);
  EXPECT_EQ(LineAt(text, 3), "");
  EXPECT_EQ(LineAt(text, 4), "last");
  EXPECT_EQ(LineAt(text, 0), "");
  EXPECT_EQ(LineAt(text, 5), "");
}

TEST(UrlPartsTest, HeaderNameAndValueSplitAtTheFirstColon) {
  EXPECT_EQ(HeaderName(" Referer : http://a.example:80/x "), "Referer");
  EXPECT_EQ(HeaderValue(" Referer : http://a.example:80/x "), "http://a.example:80/x");
  EXPECT_EQ(HeaderName("X-Empty:"), "X-Empty");
  EXPECT_EQ(HeaderValue("X-Empty:"), "");
  EXPECT_EQ(HeaderName("no colon"), "");
  EXPECT_EQ(HeaderValue("no colon"), "");

  EXPECT_EQ(CurlHeaderLines("A: 1\r\n\r\nno colon\r\n: nameless\r\nB:\r\nC:3\r\nD: x\nInjected: y"),
            (std::vector<std::string>{"A: 1", "B;", "C: 3"}));
}

TEST(ResponseCookiesTest, TakesTheFirstPairOfEverySetCookieLine) {
  const Text block = SpellSetCookie(
      "HTTP/1.1 200 OK\r\nSet-Cookie: uin=o1; path=/; domain=qq.com\r\nset-cookie: skey=@x\r\n"
      "SET-COOKIE:  empty=\r\nSet-Cookie: ;odd\r\nContent-Type: text/html\r\n\r\n");
  EXPECT_EQ(block.find("set-cookie"), Text::npos);
  EXPECT_EQ(CookiesSetBy(block), "uin=o1; skey=@x; empty=; ");
  EXPECT_EQ(CookiesSetBy("HTTP/1.1 204 No Content\r\nDate: x\r\n\r\n"), "");
  EXPECT_EQ(CookiesSetBy(""), "");
}

TEST(RequestHeadersTest, DefaultsAreAppendedOnlyForAbsentMarkers) {
  Text headers;
  AppendDefaultHeaders(headers, "http://u/x", true);
  EXPECT_EQ(headers,
            "Accept: */*\r\nReferer: http://u/x\r\nAccept-Language: zh-cn\r\nUser-Agent: "
            "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\nContent-Type: "
            "application/x-www-form-urlencoded");

  headers = "Content-Type: text/plain\r\nX-Referer: r\r\naccept-language: en";
  AppendDefaultHeaders(headers, "http://u/x", false);
  EXPECT_EQ(headers,
            "Content-Type: text/plain\r\nX-Referer: r\r\naccept-language: en\r\nAccept: */*\r\n"
            "Accept-Language: zh-cn");
}

}  // namespace
}  // namespace fotolun
