#pragma once
// A loopback server per test, with the process's proxy settings cleared so that requests to it
// go straight there.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "standin/http_server.h"

namespace fotolun::testing {

using standin::Request;
using standin::Response;

// Sets (or, with nullopt, removes) environment variables and puts them back when it goes.
class ScopedEnvironment {
 public:
  explicit ScopedEnvironment(const std::map<std::string, std::optional<std::string>>& values);
  ~ScopedEnvironment();

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

class LoopbackTest : public ::testing::Test {
 protected:
  LoopbackTest();
  void SetUp() override;

  std::string url(const std::string& target) const;
  // The one request the server saw; fails the test when there were more or none.
  Request onlyRequest() const;
  static std::vector<std::string> headerNames(const Request& request);

  // Set before the first request; the server calls it on its connection threads.
  std::function<Response(const Request&)> respond = [](const Request&) { return Response{200, {}, "ok"}; };
  ScopedEnvironment noProxies;
  standin::HttpServer server;
};

}  // namespace fotolun::testing
