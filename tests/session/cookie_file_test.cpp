#include "session/cookie_file.h"

#include <gtest/gtest.h>

#include "session/service_domains.h"

namespace fotolun {
namespace {

TEST(CookieFile, NetscapeExportTakesTheServiceDomainsOnly) {
  const std::string file =
      "\xEF\xBB\xBF# Netscape HTTP Cookie File\r\n"
      "# comment line\r\n"
      "\r\n"
      ".qq.com\tTRUE\t/\tFALSE\t0\tuin\to0012345678\r\n"
      "#HttpOnly_.qq.com\tTRUE\t/\tFALSE\t0\tskey\t@abcDEF12\r\n"
      "user.qzone.qq.com\tFALSE\t/\tFALSE\t0\tp_skey\tpk\r\n"
      ".example.com\tTRUE\t/\tFALSE\t0\tskey\tforeign\r\n"
      ".notqq.com\tTRUE\t/\tFALSE\t0\tother\tx\r\n"
      "a.qpic.cn\tFALSE\t/\tFALSE\t0\tpic\t1\r\n"
      ".qq.com\tTRUE\t/\tFALSE\t0\tuin\tsecond\n";
  CookieFileResult result = readCookieFileText(file);
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(result.cookieText, "uin=o0012345678; skey=@abcDEF12; p_skey=pk; pic=1");
}

TEST(CookieFile, DocumentCookieLineIsTakenAsItStands) {
  CookieFileResult result = readCookieFileText("  uin=o001; skey=@x ;p_skey=y;\n");
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(result.cookieText, "uin=o001; skey=@x; p_skey=y");
}

TEST(CookieFile, AFileThatIsNeitherNamesTheLine) {
  CookieFileResult result = readCookieFileText(
      "# Netscape HTTP Cookie File\n.qq.com\tTRUE\t/\tFALSE\t0\tuin\to1\n"
      "this is not a cookie\n");
  EXPECT_EQ(result.cookieText, "");
  EXPECT_NE(result.error.find("line 3"), std::string::npos) << result.error;
  EXPECT_NE(readCookieFileText("").error, "");
  EXPECT_NE(readCookieFileText(".example.com\tTRUE\t/\tFALSE\t0\tskey\tv\n").error, "");
}

TEST(CookieFile, ServiceDomainsMatchOnADotBoundary) {
  EXPECT_TRUE(isServiceDomain("qq.com"));
  EXPECT_TRUE(isServiceDomain(".QQ.com"));
  EXPECT_TRUE(isServiceDomain("b1.photo.store.qq.com"));
  EXPECT_TRUE(isServiceDomain("a2.qpic.cn"));
  EXPECT_FALSE(isServiceDomain("notqq.com"));
  EXPECT_FALSE(isServiceDomain("qq.com.evil.net"));
  EXPECT_FALSE(isServiceDomain(""));
  EXPECT_TRUE(isServiceDomain("user.qzone.QQ.com."));
}

}  // namespace
}  // namespace fotolun
