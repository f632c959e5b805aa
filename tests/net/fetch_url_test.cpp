// FetchUrl against a loopback server: its defaults, its agent rule and its two ways of keeping
// cookies.
#include <thread>

#include "net/http_clients.h"
#include "net/loopback.h"
#include "net/process_cookie_store.h"

namespace fotolun::testing {
namespace {

using ::testing::ElementsAre;
using Headers = standin::HeaderLines;

constexpr const char* kAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr const char* kForm = "application/x-www-form-urlencoded";

using FetchUrlTest = LoopbackTest;

TEST_F(FetchUrlTest, SendsTheAgentAndTheDefaultsWithoutACookieLine) {
  Text headers;
  Text received;
  EXPECT_EQ(FetchUrl(url("/cgi-bin/route?uin=10001"), 0, "", nullptr, nullptr, &headers, &received), "ok");
  const Request seen = onlyRequest();
  EXPECT_EQ(seen.method, "GET");
  EXPECT_EQ(seen.target, "/cgi-bin/route?uin=10001");
  EXPECT_EQ(seen.headers, (Headers{{"Host", "127.0.0.1:" + std::to_string(server.port())},
                                   {"User-Agent", kAgent},
                                   {"Accept", "*/*"},
                                   {"Referer", url("/cgi-bin/route?uin=10001")},
                                   {"Accept-Language", "zh-cn"},
                                   {"Content-Type", kForm}}));
  EXPECT_EQ(headers, "Accept: */*\r\nReferer: " + url("/cgi-bin/route?uin=10001") +
                         "\r\nAccept-Language: zh-cn\r\nContent-Type: " + kForm);
  EXPECT_THAT(received, ::testing::StartsWith("HTTP/1.1 200 OK\r\n"));
  EXPECT_THAT(received, ::testing::EndsWith("\r\n\r\n"));
}

TEST_F(FetchUrlTest, TakesTheAgentFromTheHeadersAndSendsItOnce) {
  Text headers = "user-agent:  Probe/2.0 \r\nReferer: http://r.example/";
  FetchUrl(url("/v"), 0, "", nullptr, nullptr, &headers);
  EXPECT_THAT(headerNames(onlyRequest()),
              ElementsAre("Host", "user-agent", "Referer", "Accept", "Accept-Language", "Content-Type"));
  EXPECT_EQ(onlyRequest().header("User-Agent"), "Probe/2.0");

  // The marker may stand inside another header's name; that header is no agent line, so the
  // agent it yields goes out as one.
  server.clearRequests();
  headers = "X-User-Agent: Relay/1";
  FetchUrl(url("/v"), 0, "", nullptr, nullptr, &headers);
  EXPECT_THAT(headerNames(onlyRequest()), ElementsAre("Host", "User-Agent", "X-User-Agent", "Accept",
                                                      "Referer", "Accept-Language", "Content-Type"));
  EXPECT_EQ(onlyRequest().header("User-Agent"), "Relay/1");
}

TEST_F(FetchUrlTest, AGivenCookieStringGoesLastAndTakesTheAnswersCookies) {
  respond = [](const Request&) {
    return Response{200, {{"Set-Cookie", "ver=2; path=/"}, {"set-cookie", "lang=cn"}}, "v"};
  };
  Text cookies = "lang=en; id=7";
  Text setCookies;
  Text headers = "Accept: text/plain";
  FetchUrl(url("/version"), 0, "", &cookies, &setCookies, &headers);
  EXPECT_THAT(headerNames(onlyRequest()), ElementsAre("Host", "User-Agent", "Accept", "Referer",
                                                      "Accept-Language", "Content-Type", "Cookie"));
  EXPECT_EQ(onlyRequest().header("Cookie"), "lang=en; id=7");
  EXPECT_EQ(setCookies, "ver=2;lang=cn");
  EXPECT_EQ(cookies, "ver=2; lang=cn; id=7");
}

TEST_F(FetchUrlTest, WithoutACookieStringTheProcessStoreKeepsCookiesAcrossThreads) {
  respond = [](const Request& request) {
    if (request.path == "/set") return Response{200, {{"Set-Cookie", "route=r1; path=/"}}, ""};
    return Response{200, {}, request.header("Cookie")};
  };
  std::thread([this] { FetchUrl(url("/set")); }).join();
  EXPECT_EQ(FetchUrl(url("/echo")), "route=r1");
  EXPECT_THAT(
      headerNames(server.requests().back()),
      ElementsAre("Host", "User-Agent", "Cookie", "Accept", "Referer", "Accept-Language", "Content-Type"));

  // A given cookie string, even an empty one, shuts the store out.
  Text cookies;
  EXPECT_EQ(FetchUrl(url("/echo"), 0, "", &cookies), "");
  ResetProcessCookieStore();
  EXPECT_EQ(FetchUrl(url("/echo")), "");
}

TEST_F(FetchUrlTest, SplitsTheAddressItselfAndSendsBodiesOnlyForPostAndHead) {
  const std::string hostAndPort = "127.0.0.1:" + std::to_string(server.port());
  FetchUrl(hostAndPort + "/no/scheme?x=1", 7);
  Request seen = onlyRequest();
  EXPECT_EQ(seen.method, "GET");
  EXPECT_EQ(seen.target, "/no/scheme?x=1");
  EXPECT_EQ(seen.header("Referer"), hostAndPort + "/no/scheme?x=1");

  server.clearRequests();
  FetchUrl(url(""), 0, "ignored for GET");
  seen = onlyRequest();
  EXPECT_EQ(seen.target, "/");
  EXPECT_EQ(seen.body, "");

  server.clearRequests();
  ByteBuffer bytes;
  FetchUrl(url("/post"), 1, "k=v", nullptr, nullptr, nullptr, nullptr, false, &bytes);
  EXPECT_EQ(bytes, "k=v");
  EXPECT_EQ(onlyRequest().body, "k=v");
  EXPECT_EQ(onlyRequest().header("Content-Length"), "3");

  server.clearRequests();
  EXPECT_EQ(FetchUrl(url("/head"), 2, "h=1"), "");
  EXPECT_EQ(onlyRequest().method, "HEAD");
  EXPECT_EQ(onlyRequest().body, "h=1");
}

TEST_F(FetchUrlTest, AFailedFetchLeavesBlankHeadersAndStillMergesAGivenCookieString) {
  const std::string address = url("/down");
  server.stop();
  Text cookies = "a=1; a=2";
  Text setCookies = "old=1";
  Text received = "old";
  EXPECT_EQ(FetchUrl(address, 0, "", &cookies, &setCookies, nullptr, &received), "");
  EXPECT_EQ(received, "");
  EXPECT_EQ(setCookies, "");
  EXPECT_EQ(cookies, "a=1");
}

TEST_F(FetchUrlTest, RedirectsAreFollowedUnlessRefused) {
  respond = [this](const Request& request) {
    if (request.path == "/old") return Response{301, {{"Location", url("/new")}}, ""};
    return Response{200, {}, "new"};
  };
  EXPECT_EQ(FetchUrl(url("/old")), "new");
  Text received;
  EXPECT_EQ(FetchUrl(url("/old"), 0, "", nullptr, nullptr, nullptr, &received, true), "");
  EXPECT_THAT(received, ::testing::StartsWith("HTTP/1.1 301"));
}

}  // namespace
}  // namespace fotolun::testing
