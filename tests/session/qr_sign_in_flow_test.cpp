// The QR sign-in against the stand-in, the phone played between two polls: no real waiting.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "session/qr_sign_in.h"
#include "standin/standin.h"
#include "support/standin_fixture.h"

namespace fotolun {
namespace {

using S = QrState;

TEST(QrSignInFlow, ThePhoneDecidesHowItEnds) {
  standin::Standin standin;
  standin.start();
  testing::TempFolder folder;
  const std::string authority = (folder.path() / "authority.pem").string();
  standin::Standin::writeCertificateAuthority(authority);
  const std::string qq = standin.data().ordinaryAccount().qq;
  auto& qr = standin.qrLogins();

  const auto scan = [&] { qr.scan("latest"); };
  const auto confirm = [&] { qr.confirm("latest", qq); };
  const auto confirmWithoutKeys = [&] { qr.confirm("latest", qq, false); };
  const auto refuse = [&] { qr.refuse("latest"); };
  const auto expire = [&] { qr.expire("latest"); };
  const auto nothing = [] {};
  const struct {
    const char* name;
    std::vector<std::function<void()>> phone;  // what the phone does during each wait
    std::vector<QrState> states;
    bool signedIn;
  } cases[] = {
      {"scanned, then confirmed",
       {scan, nothing, confirm},
       {S::NewCode, S::Waiting, S::Scanned, S::Confirmed},
       true},
      {"an expired code is replaced",
       {expire, confirm},
       {S::NewCode, S::Waiting, S::Expired, S::NewCode, S::Waiting, S::Confirmed},
       true},
      {"refused on the phone", {scan, refuse}, {S::NewCode, S::Waiting, S::Scanned, S::Refused}, false},
      {"confirmed without the session keys",
       {confirmWithoutKeys},
       {S::NewCode, S::Waiting, S::Confirmed},
       false},
      {"every code expires",
       {expire, expire, expire},
       {S::NewCode, S::Waiting, S::Expired, S::NewCode, S::Waiting, S::Expired, S::NewCode, S::Waiting,
        S::Expired},
       false},
  };
  for (const auto& c : cases) {
    std::vector<QrState> states;
    std::size_t waits = 0;
    QrSignInSettings settings;
    settings.proxy = standin.proxyUrl();
    settings.caFile = authority;
    settings.sleep = [&](std::chrono::milliseconds wait) {
      EXPECT_EQ(wait, settings.pollInterval);
      if (waits < c.phone.size()) return c.phone[waits++]();
      ADD_FAILURE() << c.name << ": polled on after the phone was done";
      expire();  // so the sign-in ends
    };
    const QrSignInResult result = RunQrSignIn(settings, [&](QrState state, const ByteBuffer& png) {
      states.push_back(state);
      EXPECT_EQ(png.substr(0, 8), state == S::NewCode ? "\x89PNG\r\n\x1a\n" : "");
    });
    EXPECT_EQ(states, c.states) << c.name;
    EXPECT_EQ(result.signedIn, c.signedIn) << c.name << ": " << result.error;
    EXPECT_EQ(result.error.empty(), c.signedIn) << c.name;
    if (c.signedIn) {
      EXPECT_NE(result.cookies.find("p_skey="), std::string::npos) << c.name;
      EXPECT_NE(result.cookies.find("uin=" + standin::UinCookieValue(qq)), std::string::npos) << c.name;
    }
  }
  // Without the authority the sign-in fails at once, saying so.
  QrSignInSettings untrusted;
  untrusted.proxy = standin.proxyUrl();
  const QrSignInResult refused = RunQrSignIn(untrusted, [](QrState, const ByteBuffer&) { ADD_FAILURE(); });
  EXPECT_FALSE(refused.signedIn);
  EXPECT_NE(refused.error, "");
}

}  // namespace
}  // namespace fotolun
