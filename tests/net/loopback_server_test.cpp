// The loopback server the client tests stand on: what it records and the faults it injects.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "net/http_clients.h"
#include "net/loopback.h"

namespace fotolun::testing {
namespace {

using standin::Fault;
using standin::FaultKind;
using ::testing::HasSubstr;

using LoopbackServerTest = LoopbackTest;

// Sends request text as it stands and reads until the server closes.
std::string Exchange(std::uint16_t port, const std::string& request) {
  const int sock = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string reply;
  if (connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      send(sock, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
    char buffer[4096];
    for (ssize_t n; (n = recv(sock, buffer, sizeof buffer, 0)) > 0;)
      reply.append(buffer, static_cast<size_t>(n));
  }
  close(sock);
  return reply;
}

TEST_F(LoopbackServerTest, RecordsOriginAndAbsoluteRequestLinesAlike) {
  Exchange(server.port(),
           "GET /cgi/list?uin=10001&g_tk=5&name=a%20b HTTP/1.1\r\nHost: User.Example:8080\r\nzeta: 1\r\n"
           "Alpha: 2\r\nzeta: 3\r\nConnection: close\r\n\r\n");
  Exchange(server.port(),
           std::string("POST http://b1.photo.example/p/1.jpg?x=%2F HTTP/1.1\r\nHost: b1.photo.example\r\n"
                       "Content-Length: 4\r\nConnection: close\r\n\r\nab") +
               std::string("\0z", 2));
  const std::vector<Request> seen = server.requests();
  ASSERT_EQ(seen.size(), 2u);

  EXPECT_FALSE(seen[0].viaProxy);
  EXPECT_EQ(seen[0].url, "http://User.Example:8080/cgi/list?uin=10001&g_tk=5&name=a%20b");
  EXPECT_EQ(seen[0].host, "user.example");
  EXPECT_EQ(seen[0].path, "/cgi/list");
  EXPECT_EQ(seen[0].query("name"), "a%20b");
  EXPECT_EQ(seen[0].query("uin"), "10001");
  EXPECT_EQ(seen[0].query("missing"), "");
  EXPECT_EQ(seen[0].headers, (standin::HeaderLines{{"Host", "User.Example:8080"},
                                                   {"zeta", "1"},
                                                   {"Alpha", "2"},
                                                   {"zeta", "3"},
                                                   {"Connection", "close"}}));
  EXPECT_EQ(seen[0].header("ZETA"), "1");

  EXPECT_TRUE(seen[1].viaProxy);
  EXPECT_EQ(seen[1].method, "POST");
  EXPECT_EQ(seen[1].url, "http://b1.photo.example/p/1.jpg?x=%2F");
  EXPECT_EQ(seen[1].host, "b1.photo.example");
  EXPECT_EQ(seen[1].target, "/p/1.jpg?x=%2F");
  EXPECT_EQ(seen[1].body, std::string("ab\0z", 4));
}

TEST_F(LoopbackServerTest, AnswersWithHeadersInOrderAndBinaryBodies) {
  const std::string jpeg("\xff\xd8\xff\xe0\x00\x10JFIF\x00", 11);
  respond = [&jpeg](const Request&) {
    return Response{
        200,
        {{"Content-Type", "image/jpeg"}, {"Set-Cookie", "a=1"}, {"X-Middle", "m"}, {"Set-Cookie", "b=2"}},
        jpeg};
  };
  Text received;
  EXPECT_EQ(SendServiceRequest(url("/p.jpg"), 0, "", nullptr, nullptr, nullptr, &received), jpeg);
  EXPECT_THAT(received,
              HasSubstr("Content-Type: image/jpeg\r\nSet-Cookie: a=1\r\nX-Middle: m\r\nSet-Cookie: b=2\r\n"));
}

TEST_F(LoopbackServerTest, FaultsHitMatchingAddressesAsOftenAsAsked) {
  respond = [](const Request&) { return Response{200, {}, "{\"code\":0}"}; };
  server.addFault("/empty", {FaultKind::EmptyReply, 1});
  server.addFault("/error", {FaultKind::HttpError, -1, {}, 503});
  server.addFault("/html", {FaultKind::NotJson});
  server.addFault("/drop", {FaultKind::DropBeforeBody, 2});

  EXPECT_EQ(SendServiceRequest(url("/empty")), "");
  EXPECT_EQ(SendServiceRequest(url("/empty")), "{\"code\":0}");
  int status = 0;
  EXPECT_THAT(SendServiceRequest(url("/error"), 0, "", nullptr, nullptr, nullptr, nullptr, &status),
              HasSubstr("503"));
  EXPECT_EQ(status, 503);
  const ByteBuffer html = SendServiceRequest(url("/html"));
  EXPECT_FALSE(html.empty());
  EXPECT_EQ(html.find('{'), ByteBuffer::npos);
  // An answerless close may only mean a kept-alive connection went stale, so the client tries
  // once more on a fresh one; the second drop is the one it gives up on.
  EXPECT_EQ(SendServiceRequest(url("/drop")), "");
  EXPECT_EQ(SendServiceRequest(url("/drop")), "{\"code\":0}");

  server.clearFaults();
  EXPECT_EQ(SendServiceRequest(url("/html")), "{\"code\":0}");
  EXPECT_EQ(server.requests().size(), 8u);  // dropped requests are recorded too

  // A wall of a given length hits every request from its first hit on, then lets them through.
  Fault wall{FaultKind::HttpError, 1, {}, 500};
  wall.lasting = std::chrono::seconds(2);
  server.addFault("/wall", wall);
  for (int i = 0; i < 3; ++i) {
    status = 0;
    SendServiceRequest(url("/wall"), 0, "", nullptr, nullptr, nullptr, nullptr, &status);
    EXPECT_EQ(status, 500) << "times does not end a wall that lasts";
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  EXPECT_EQ(SendServiceRequest(url("/wall")), "{\"code\":0}");
}

TEST_F(LoopbackServerTest, WritesItsLogFileAndTakesSpacesInAddresses) {
  const auto path = std::filesystem::temp_directory_path() / ("fotolun-net-log-" + std::to_string(getpid()));
  std::filesystem::remove(path);
  server.setLogFile(path.string());
  SendServiceRequest(url("/with space/a b.jpg"));
  server.setLogFile("");
  EXPECT_EQ(onlyRequest().target, "/with%20space/a%20b.jpg");

  std::ifstream log(path, std::ios::binary);
  std::stringstream text;
  text << log.rdbuf();
  EXPECT_THAT(text.str(), HasSubstr(" GET " + url("/with%20space/a%20b.jpg") + "\r\n"));
  EXPECT_THAT(text.str(), HasSubstr("\r\nAccept-Language: zh-cn\r\n"));
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace fotolun::testing
