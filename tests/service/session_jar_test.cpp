// The https family's cookie jar follows the credentials, whatever changes them, and forgets a
// cookie on request.
#include "session/session_jar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace fotolun {
namespace {

// The jar's cookies as "domain name=value", sorted.
std::vector<std::string> held(const SessionJar& jar) {
  std::vector<std::string> out;
  for (std::string line : jar.lines()) {
    if (line.rfind("#HttpOnly_", 0) == 0) line.erase(0, 10);
    std::vector<std::string> fields;
    for (std::size_t at = 0;;) {
      const std::size_t tab = line.find('\t', at);
      fields.push_back(line.substr(at, tab - at));
      if (tab == std::string::npos) break;
      at = tab + 1;
    }
    if (fields.size() == 7) out.push_back(fields[0] + " " + fields[5] + "=" + fields[6]);
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST(SessionJar, HoldsTheCredentialsOnQqComAndConfiguredHostsAndForgetsOnRequest) {
  CredentialStore credentials;
  SessionJar jar(credentials);
  ServiceHosts hosts;
  hosts.h5 = "127.0.0.1:8080";  // a configured host outside qq.com gets the session host-only
  SessionCredentials signedIn = CredentialsFromCookieText("uin=o1; skey=a");
  signedIn.storeCookies = "p_skey=b";
  credentials.set(signedIn);
  ASSERT_NE(jar.prepare(hosts), nullptr);
  EXPECT_EQ(held(jar),
            (std::vector<std::string>{".qq.com p_skey=b", ".qq.com skey=a", ".qq.com uin=o1",
                                      "127.0.0.1 p_skey=b", "127.0.0.1 skey=a", "127.0.0.1 uin=o1"}));

  // A renewal the older endpoints brought reaches the jar; so does one the jar took itself.
  credentials.withCookies([](Text& cookies) {
    cookies = "uin=o1; skey=c";
    return ByteBuffer();
  });
  jar.prepare(ServiceHosts{});
  EXPECT_EQ(held(jar), (std::vector<std::string>{".qq.com p_skey=b", ".qq.com skey=c", ".qq.com uin=o1"}));

  jar.forget("p_skey");
  EXPECT_EQ(held(jar), (std::vector<std::string>{".qq.com skey=c", ".qq.com uin=o1"}));
  EXPECT_EQ(wholeSessionCookies(credentials.get()).find("p_skey"), std::string::npos);
  jar.prepare(ServiceHosts{});
  EXPECT_EQ(held(jar).size(), 2u) << "a forgotten cookie does not come back from the credentials";

  // A new sign-in leaves nothing of the old session.
  credentials.set(CredentialsFromCookieText("uin=o2; skey=z"));
  jar.prepare(ServiceHosts{});
  EXPECT_EQ(held(jar), (std::vector<std::string>{".qq.com skey=z", ".qq.com uin=o2"}));
}

}  // namespace
}  // namespace fotolun
