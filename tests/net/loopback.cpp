#include "net/loopback.h"

#include <cstdlib>

#include "net/process_cookie_store.h"

namespace fotolun::testing {

ScopedEnvironment::ScopedEnvironment(const std::map<std::string, std::optional<std::string>>& values) {
  for (const auto& [name, value] : values) {
    const char* old = std::getenv(name.c_str());
    saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    if (value) {
      setenv(name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
}

ScopedEnvironment::~ScopedEnvironment() {
  for (const auto& [name, value] : saved_) {
    if (value) {
      setenv(name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
}

LoopbackTest::LoopbackTest()
    : noProxies({{"http_proxy", std::nullopt},
                 {"HTTP_PROXY", std::nullopt},
                 {"https_proxy", std::nullopt},
                 {"HTTPS_PROXY", std::nullopt},
                 {"all_proxy", std::nullopt},
                 {"ALL_PROXY", std::nullopt},
                 {"no_proxy", std::nullopt},
                 {"NO_PROXY", std::nullopt}}),
      server([this](const Request& request) { return respond(request); }) {}

void LoopbackTest::SetUp() {
  ResetProcessCookieStore();
  server.start();
}

std::string LoopbackTest::url(const std::string& target) const {
  return "http://127.0.0.1:" + std::to_string(server.port()) + target;
}

Request LoopbackTest::onlyRequest() const {
  const std::vector<Request> seen = server.requests();
  EXPECT_EQ(seen.size(), 1u);
  return seen.empty() ? Request{} : seen.back();
}

std::vector<std::string> LoopbackTest::headerNames(const Request& request) {
  std::vector<std::string> names;
  for (const auto& [name, value] : request.headers) names.push_back(name);
  return names;
}

}  // namespace fotolun::testing
