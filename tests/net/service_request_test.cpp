// SendServiceRequest against a loopback server: what goes on the wire and what comes back.
#include <chrono>

#include "net/http_clients.h"
#include "net/loopback.h"

namespace fotolun::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using Headers = standin::HeaderLines;
using Clock = std::chrono::steady_clock;

constexpr const char* kAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr const char* kForm = "application/x-www-form-urlencoded";

using ServiceRequestTest = LoopbackTest;

TEST_F(ServiceRequestTest, SendsTheCookieFirstAndEveryMissingDefaultAfterIt) {
  const std::string address = url("/fcgi-bin/list?uin=1&g_tk=5");
  Text cookies = "uin=o1; skey=@abc";
  Text headers;
  EXPECT_EQ(SendServiceRequest(address, 0, "", &cookies, nullptr, &headers), "ok");

  const Request seen = onlyRequest();
  EXPECT_EQ(seen.method, "GET");
  EXPECT_EQ(seen.target, "/fcgi-bin/list?uin=1&g_tk=5");
  EXPECT_FALSE(seen.viaProxy);
  EXPECT_EQ(seen.headers, (Headers{{"Host", "127.0.0.1:" + std::to_string(server.port())},
                                   {"Cookie", "uin=o1; skey=@abc"},
                                   {"Accept", "*/*"},
                                   {"Referer", address},
                                   {"Accept-Language", "zh-cn"},
                                   {"User-Agent", kAgent},
                                   {"Content-Type", kForm}}));
  EXPECT_EQ(headers, "Accept: */*\r\nReferer: " + address + "\r\nAccept-Language: zh-cn\r\nUser-Agent: " +
                         kAgent + "\r\nContent-Type: " + kForm);
  EXPECT_TRUE(seen.body.empty());
}

TEST_F(ServiceRequestTest, AppendsOnlyTheDefaultsWhoseCaseSensitiveMarkerIsAbsent) {
  Text headers = "Accept: */*\r\nReferer: http://qzs.example/photo.html";
  SendServiceRequest(url("/a"), 0, "", nullptr, nullptr, &headers);
  EXPECT_THAT(headerNames(onlyRequest()),
              ElementsAre("Host", "Accept", "Referer", "Accept-Language", "User-Agent", "Content-Type"));
  EXPECT_EQ(onlyRequest().header("Referer"), "http://qzs.example/photo.html");

  // A lower-case line is not the marker, so the default goes out as well; a line without a colon
  // has no name and cannot be sent; an empty value still sends its name.
  server.clearRequests();
  headers = "accept: image/webp\r\nno colon here\r\nX-Empty:\r\nuser-agent: Probe";
  SendServiceRequest(url("/b"), 0, "", nullptr, nullptr, &headers);
  EXPECT_EQ(onlyRequest().headers, (Headers{{"Host", "127.0.0.1:" + std::to_string(server.port())},
                                            {"accept", "image/webp"},
                                            {"X-Empty", ""},
                                            {"user-agent", "Probe"},
                                            {"Accept", "*/*"},
                                            {"Referer", url("/b")},
                                            {"Accept-Language", "zh-cn"},
                                            {"User-Agent", kAgent},
                                            {"Content-Type", kForm}}));
}

TEST_F(ServiceRequestTest, SendsBodiesForPostAndHeadAndBytesBeforeText) {
  SendServiceRequest(url("/post"), 1, "a=1&b=2");
  Request seen = onlyRequest();
  EXPECT_EQ(seen.method, "POST");
  EXPECT_EQ(seen.body, "a=1&b=2");
  EXPECT_EQ(seen.header("Content-Length"), "7");
  EXPECT_EQ(seen.header("Expect"), "");
  EXPECT_EQ(seen.header("Content-Type"), kForm);

  server.clearRequests();
  const ByteBuffer bytes("\x00\x01\xff", 3);
  SendServiceRequest(url("/bytes"), 1, "ignored", nullptr, nullptr, nullptr, nullptr, nullptr, false, bytes);
  EXPECT_EQ(onlyRequest().body, bytes);

  server.clearRequests();
  int status = 0;
  EXPECT_EQ(SendServiceRequest(url("/head"), 2, "q=1", nullptr, nullptr, nullptr, nullptr, &status), "");
  seen = onlyRequest();
  EXPECT_EQ(seen.method, "HEAD");
  EXPECT_EQ(seen.body, "q=1");
  EXPECT_EQ(status, 200);

  // A GET carries a body when given one, as the request object sent whatever it was handed; an
  // unknown method is a GET, and a GET without body announces none.
  server.clearRequests();
  SendServiceRequest(url("/get"), 0, "g=1");
  EXPECT_EQ(onlyRequest().method, "GET");
  EXPECT_EQ(onlyRequest().body, "g=1");

  server.clearRequests();
  SendServiceRequest(url("/seven"), 7);
  seen = onlyRequest();
  EXPECT_EQ(seen.method, "GET");
  EXPECT_EQ(seen.header("Content-Length"), "");
}

TEST_F(ServiceRequestTest, FoldsCookiesThatResponsesSetRenewAndDelete) {
  respond = [](const Request& request) {
    Response response{200, {}, "{}"};
    if (request.path == "/login") {
      response.headers = {{"Set-Cookie", "skey=@one; path=/; domain=qq.com"}, {"set-cookie", "p_skey=first"}};
    } else if (request.path == "/renew") {
      response.headers = {{"SET-COOKIE", "skey=@two; expires=Thu, 01 Jan 2037 00:00:00 GMT"}};
    } else if (request.path == "/logout") {
      response.headers = {{"Set-Cookie", "p_skey=deleted; path=/"}};
    }
    return response;
  };
  Text cookies = "uin=o10001; skey=@old";
  Text setCookies;
  Text received;
  SendServiceRequest(url("/login"), 0, "", &cookies, &setCookies, nullptr, &received);
  EXPECT_EQ(setCookies, "skey=@one;p_skey=first");  // as the merge leaves it
  EXPECT_EQ(cookies, "skey=@one; p_skey=first; uin=o10001");
  EXPECT_THAT(received, HasSubstr("\r\nSet-Cookie: p_skey=first\r\n"));
  EXPECT_THAT(received, Not(HasSubstr("set-cookie")));

  SendServiceRequest(url("/renew"), 0, "", &cookies, &setCookies);
  EXPECT_EQ(cookies, "skey=@two; p_skey=first; uin=o10001");
  SendServiceRequest(url("/logout"), 0, "", &cookies, &setCookies);
  EXPECT_EQ(cookies, "skey=@two; uin=o10001");
  SendServiceRequest(url("/quiet"), 0, "", &cookies, &setCookies);
  EXPECT_EQ(setCookies, "");
  EXPECT_EQ(cookies, "skey=@two; uin=o10001");

  const std::vector<Request> seen = server.requests();
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[1].header("Cookie"), "skey=@one; p_skey=first; uin=o10001");
  EXPECT_EQ(seen[3].header("Cookie"), "skey=@two; uin=o10001");
}

TEST_F(ServiceRequestTest, TakesEveryCookieOfAHeaderBlockFarLongerThanFiveThousandBytes) {
  respond = [](const Request&) {
    Response response{200, {}, "ok"};
    for (int i = 0; i < 60; ++i) {
      response.headers.emplace_back("Set-Cookie", "c" + std::to_string(i) + "=" + std::string(120, 'v') +
                                                      "; path=/; domain=photo.qq.com");
    }
    return response;
  };
  Text cookies;
  Text setCookies;
  Text received;
  SendServiceRequest(url("/many"), 0, "", &cookies, &setCookies, nullptr, &received);
  EXPECT_GT(received.size(), 5000u);
  EXPECT_EQ(SplitText(setCookies, ";").size(), 60u);
  EXPECT_EQ(SplitText(cookies, "; ").back(), "c59=" + std::string(120, 'v'));
}

TEST_F(ServiceRequestTest, AFailedSendGivesNothingBackButStillMergesTheCookieString) {
  const std::string address = url("/gone");
  server.stop();
  Text cookies = "a=1;b=2; a=3";
  Text setCookies = "stale=1";
  Text received = "stale";
  int status = 123;
  EXPECT_EQ(SendServiceRequest(address, 0, "", &cookies, &setCookies, nullptr, &received, &status), "");
  EXPECT_EQ(received, "");
  EXPECT_EQ(setCookies, "");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(cookies, "a=1; b=2");
}

TEST_F(ServiceRequestTest, ABrokenAnswerIsAFailureAndNotAShortBody) {
  respond = [](const Request&) { return Response{200, {{"Set-Cookie", "x=1"}}, std::string(100000, 'j')}; };
  server.addFault("/cut", {standin::FaultKind::DropMidBody});
  server.addFault("/closed", {standin::FaultKind::DropBeforeBody});
  Text cookies = "a=1";
  EXPECT_EQ(SendServiceRequest(url("/cut"), 0, "", &cookies), "");
  EXPECT_EQ(cookies, "a=1");
  EXPECT_EQ(SendServiceRequest(url("/closed")), "");
}

// Neither a cookie text with line breaks (old Mac line ends, a paste) nor a reply larger than the
// caller can use may take the program down.
TEST_F(ServiceRequestTest, OddCookieTextsAndOversizedRepliesAreHandledNotFatal) {
  respond = [](const Request& request) {
    return Response{200, {}, request.path == "/big" ? std::string(5000, 'b') : "ok"};
  };
  Text cookies = std::string("uin=o1\rskey=@a\r\0", 17);
  EXPECT_EQ(SendServiceRequest(url("/cookie"), 0, "", &cookies), "ok");
  EXPECT_EQ(onlyRequest().header("Cookie"), "uin=o1; skey=@a");

  int status = -1;
  EXPECT_EQ(SendServiceRequest(url("/big"), 0, "", nullptr, nullptr, nullptr, nullptr, &status, false, "", "", 0,
                               "", "", 1, nullptr, 4096),
            "");
  EXPECT_EQ(status, 0) << "a body past the limit is a failed request, not a cut one";
  EXPECT_EQ(SendServiceRequest(url("/big"), 0, "", nullptr, nullptr, nullptr, nullptr, nullptr, false, "", "", 0,
                               "", "", 1, nullptr, 5000)
                .size(),
            5000u);
}

TEST_F(ServiceRequestTest, TimeOutIsAStalledReadNotALongTransfer) {
  server.addFault("/stalled", {standin::FaultKind::Delay, -1, std::chrono::milliseconds(5000)});
  auto started = Clock::now();
  EXPECT_EQ(SendServiceRequest(url("/stalled"), 0, "", nullptr, nullptr, nullptr, nullptr, nullptr, false, "",
                               "", 1),
            "");
  EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(3000));

  // Two seconds in all, but never a second without data: a big photo on a slow link.
  const std::string photo(200 * 1024, 'p');
  respond = [&photo](const Request&) { return Response{200, {}, photo}; };
  standin::Fault slow{standin::FaultKind::SlowBody, -1, std::chrono::milliseconds(100)};
  slow.chunkBytes = 10 * 1024;
  server.addFault("/photo", slow);
  started = Clock::now();
  EXPECT_EQ(
      SendServiceRequest(url("/photo"), 0, "", nullptr, nullptr, nullptr, nullptr, nullptr, false, "", "", 1),
      photo);
  EXPECT_GT(Clock::now() - started, std::chrono::milliseconds(1500));
}

TEST_F(ServiceRequestTest, FollowsRedirectsReportingTheLastAnswerAndEveryCookie) {
  respond = [this](const Request& request) {
    if (request.path == "/moved") {
      return Response{302, {{"Location", url("/here")}, {"Set-Cookie", "hop=1; path=/"}}, "moved"};
    }
    return Response{200, {{"Set-Cookie", "end=2"}}, "arrived"};
  };
  Text cookies = "a=0";
  Text setCookies;
  Text received;
  int status = 0;
  EXPECT_EQ(SendServiceRequest(url("/moved"), 0, "", &cookies, &setCookies, nullptr, &received, &status),
            "arrived");
  EXPECT_EQ(status, 200);
  EXPECT_THAT(received, ::testing::StartsWith("HTTP/1.1 200"));
  EXPECT_THAT(received, Not(HasSubstr("Location")));
  EXPECT_EQ(setCookies, "hop=1;end=2");
  EXPECT_EQ(cookies, "hop=1; end=2; a=0");
  EXPECT_EQ(server.requests().size(), 2u);

  server.clearRequests();
  EXPECT_EQ(
      SendServiceRequest(url("/moved"), 0, "", &cookies, &setCookies, nullptr, &received, &status, true),
      "moved");
  EXPECT_EQ(status, 302);
  EXPECT_THAT(received, HasSubstr("Location: " + url("/here")));
  EXPECT_EQ(setCookies, "hop=1");
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(ServiceRequestTest, TheCookieLineStaysWithTheHostItWasMeantFor) {
  respond = [this](const Request& request) {
    if (request.path == "/away") {
      return Response{
          302, {{"Location", "http://localhost:" + std::to_string(server.port()) + "/there"}}, ""};
    }
    return Response{200, {}, request.host + " " + request.header("Cookie")};
  };
  Text cookies = "skey=@secret";
  EXPECT_EQ(SendServiceRequest(url("/away"), 0, "", &cookies), "localhost ");
}

}  // namespace
}  // namespace fotolun::testing
