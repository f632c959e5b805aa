// Credentials from a sign-in cookie text, g_tk, and the lock-guarded record.
//
// The uin and skey cookies are found by their exact names wherever they stand (first, middle or
// last), where fixed markers would miss a cookie at either end; names that merely end the
// same way (p_skey, luin, p_uin) never match.
#include "session/session_credentials.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <thread>
#include <vector>

#include "session/browser_cookies.h"

namespace fotolun {
namespace {

TEST(CredentialsFromCookieText, UinWhereverItStands) {
  EXPECT_EQ(CredentialsFromCookieText("uin=o0012345678; skey=@abc; k=1").uin, "12345678");  // first
  EXPECT_EQ(CredentialsFromCookieText("k=1; uin=o0012345678; skey=@abc").uin, "12345678");  // middle
  EXPECT_EQ(CredentialsFromCookieText("k=1; skey=@abc; uin=o0012345678").uin, "12345678");  // last
  EXPECT_EQ(CredentialsFromCookieText("uin=o0012345678").uin, "12345678");                  // alone
  EXPECT_EQ(CredentialsFromCookieText("k=1;uin=o99;x=2").uin, "99");                        // no spaces
}

TEST(CredentialsFromCookieText, UinPrefixAndZeros) {
  EXPECT_EQ(CredentialsFromCookieText("uin=O0012; k=1").uin, "12");  // case-insensitive pattern
  EXPECT_EQ(CredentialsFromCookieText("uin=o12300; k=1").uin, "12300");
  EXPECT_EQ(CredentialsFromCookieText("uin=o000; k=1").uin, "0");
  EXPECT_EQ(CredentialsFromCookieText("uin=; k=1").uin, "");
  EXPECT_EQ(CredentialsFromCookieText("uin=xyz; k=1").uin, "");
}

TEST(CredentialsFromCookieText, NamesThatMerelyEndInUinDoNotMatch) {
  EXPECT_EQ(CredentialsFromCookieText("luin=o0011; p_uin=o0022; k=1").uin, "");
  EXPECT_EQ(CredentialsFromCookieText("luin=o0011; uin=o0033").uin, "33");
  EXPECT_EQ(CredentialsFromCookieText("UIN=o0044").uin, "");  // cookie names are exact
  EXPECT_EQ(CredentialsFromCookieText("").uin, "");
}

TEST(CredentialsFromCookieText, KeepsTheCookieTextAndComputesGTk) {
  const Text cookies = "uin=o0012345678; skey=abc; p_skey=zzz";
  const SessionCredentials credentials = CredentialsFromCookieText(cookies);
  EXPECT_EQ(credentials.cookieText, cookies);
  EXPECT_EQ(credentials.gTk, "193485963");
  const SessionCredentials none = CredentialsFromCookieText("");
  EXPECT_EQ(none.cookieText, "");
  EXPECT_EQ(none.uin, "");
  EXPECT_EQ(none.gTk, "5381");
}

TEST(ComputeGTk, WorkedValues) {
  EXPECT_EQ(computeGTk(""), "5381");
  EXPECT_EQ(computeGTk("skey="), "5381");
  EXPECT_EQ(computeGTk("a=1; skey=abc; b=2"), "193485963");
  EXPECT_EQ(computeGTk("a=1; skey=@AbCdEfGh; b=2"), "691920905");
  EXPECT_EQ(computeGTk("a=1; skey=@x9Kq2LmZp; b=2"), "99259239");
}

TEST(ComputeGTk, SkeyWhereverItStands) {
  EXPECT_EQ(computeGTk("skey=abc; uin=o1"), "193485963");  // first
  EXPECT_EQ(computeGTk("uin=o1; skey=abc"), "193485963");  // last, no closing ";"
  EXPECT_EQ(computeGTk("skey=abc"), "193485963");          // alone
  EXPECT_EQ(computeGTk("uin=o1;skey=abc;"), "193485963");
}

TEST(ComputeGTk, PSkeyIsNotSkey) {
  EXPECT_EQ(computeGTk("uin=o1; p_skey=abc; k=1"), "5381");
  EXPECT_EQ(computeGTk("p_skey=zzz; skey=abc"), "193485963");
  EXPECT_EQ(computeGTk("skey=abc; p_skey=zzz"), "193485963");
  EXPECT_EQ(computeGTk("myskey=abc"), "5381");
}

TEST(ComputeGTk, WrapsAroundModulo2To32) {
  // hash = hash * 33 + c wraps from the fourth character on; saturation would give 2147483647.
  EXPECT_EQ(computeGTk("skey=" + Text(200, 'Z')), "1969081173");
  for (const Text& skey : {Text("@"), Text(50, 'a'), Text(1000, '~'), Text("@0123456789abcdefABCDEF")}) {
    const long long value = std::stoll(computeGTk("skey=" + skey));
    EXPECT_GE(value, 0);
    EXPECT_LE(value, 2147483647);
  }
}

TEST(CredentialStore, GetAndSet) {
  CredentialStore store;
  EXPECT_EQ(store.get().cookieText, "");
  EXPECT_EQ(store.get().uin, "");
  EXPECT_EQ(store.get().gTk, "");
  store.set(CredentialsFromCookieText("uin=o07; skey=abc"));
  EXPECT_EQ(store.get().uin, "7");
  EXPECT_EQ(store.get().gTk, "193485963");
}

TEST(CredentialStore, WithCookiesStoresTheMergedCopy) {
  CredentialStore store;
  store.set(CredentialsFromCookieText("uin=o07; skey=abc"));
  const ByteBuffer body = store.withCookies([](Text& cookies) {
    EXPECT_EQ(cookies, "uin=o07; skey=abc");
    cookies += "; new=1";
    return ByteBuffer("body");
  });
  EXPECT_EQ(body, "body");
  EXPECT_EQ(store.get().cookieText, "uin=o07; skey=abc; new=1");
  EXPECT_EQ(store.get().uin, "7");
}

TEST(CredentialStore, ANewerSignInWinsOverARequestInFlight) {
  CredentialStore store;
  store.set(CredentialsFromCookieText("uin=o01; skey=old"));
  std::mutex mutex;
  std::condition_variable changed;
  bool requestRunning = false, signedIn = false;
  std::thread worker([&] {
    store.withCookies([&](Text& cookies) {
      std::unique_lock<std::mutex> lock(mutex);
      requestRunning = true;
      changed.notify_all();
      changed.wait(lock, [&] { return signedIn; });  // the sign-in happens while we run
      cookies += "; merged=1";
      return ByteBuffer();
    });
  });
  {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return requestRunning; });
  }
  // The request is running: set() must not wait for it (withCookies holds no lock meanwhile).
  store.set(CredentialsFromCookieText("uin=o02; skey=new"));
  {
    std::lock_guard<std::mutex> lock(mutex);
    signedIn = true;
  }
  changed.notify_all();
  worker.join();
  EXPECT_EQ(store.get().cookieText, "uin=o02; skey=new");
  EXPECT_EQ(store.get().uin, "2");
}

TEST(CredentialStore, ConcurrentReadersWritersAndRequests) {
  // Run under TSan: every access goes through the store's lock.
  CredentialStore store;
  store.set(CredentialsFromCookieText("uin=o01; skey=a"));
  std::atomic<bool> stop{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < 3; ++t) {
    threads.emplace_back([&] {
      while (!stop) {
        store.withCookies([](Text& cookies) {
          cookies += "; x=1";
          if (cookies.size() > 200) cookies = "uin=o09; skey=z";
          return ByteBuffer();
        });
      }
    });
  }
  threads.emplace_back([&] {
    while (!stop) {
      const SessionCredentials c = store.get();
      EXPECT_FALSE(c.uin.empty());
    }
  });
  for (int i = 0; i < 500; ++i)
    store.set(CredentialsFromCookieText("uin=o0" + std::to_string(i + 1) + "; skey=k"));
  stop = true;
  for (auto& thread : threads) thread.join();
  EXPECT_FALSE(store.get().cookieText.empty());
}

// The https endpoints get the browser store's cookies over document.cookie's, and their token is
// the hash of p_skey wherever it came from; the older endpoints keep document.cookie exactly.
TEST(SessionCredentials, TheCookieStoresShareGoesToTheHttpsEndpointsOnly) {
  BrowserCookieJar jar;
  jar.added({"p_skey", "old", ".qq.com"}, "/");
  jar.added({"p_skey", "ZZ*", "qzone.qq.com"}, "/");  // the more specific domain wins
  jar.added({"skey", "@k", ".qq.com"}, "/");
  jar.added({"skey", "@k2", ".qq.com"}, "/");    // replaces its namesake
  jar.added({"sid", "x", ".example.org"}, "/");  // never the service's
  jar.added({"gone", "1", ".qpic.cn"}, "/");
  jar.removed({"gone", "1", "qpic.cn"}, "/");
  EXPECT_EQ(jar.serviceCookieText(), "p_skey=ZZ*; skey=@k2");

  SessionCredentials session = CredentialsFromCookieText("uin=o012; skey=@k2; p_skey=stale");
  session.storeCookies = jar.serviceCookieText();
  EXPECT_EQ(wholeSessionCookies(session), "uin=o012; p_skey=ZZ*; skey=@k2");
  EXPECT_EQ(pSkeyGTk(session), computeGTk("skey=ZZ*"));
  EXPECT_EQ(pSkeyGTk(CredentialsFromCookieText("uin=o012; skey=@k2")), computeGTk("skey=@k2"));

  CredentialStore store;
  store.set(session);
  store.withCookies(
      [](Text& cookies) {
        cookies += "; renewed=1";
        return ByteBuffer();
      },
      true);
  EXPECT_EQ(store.get().cookieText, "uin=o012; skey=@k2; p_skey=stale");
  EXPECT_EQ(wholeSessionCookies(store.get()), "uin=o012; p_skey=ZZ*; skey=@k2; renewed=1");
}

}  // namespace
}  // namespace fotolun
