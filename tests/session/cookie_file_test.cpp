#include "session/cookie_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "session/service_domains.h"
#include "support/standin_fixture.h"

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

TEST(CookieFile, TheSessionReplacesTheServiceLinesAndKeepsTheOthers) {
  const std::string old =
      "# Netscape HTTP Cookie File\n"
      ".qq.com\tTRUE\t/\tFALSE\t0\tskey\t@old\n"
      "#HttpOnly_.qzone.qq.com\tTRUE\t/\tFALSE\t1999999999\tp_skey\told\n"
      ".qq.com\tTRUE\t/\tFALSE\t0\tstale\tgone\n"
      ".example.com\tTRUE\t/\tFALSE\t0\tskey\tforeign\n"
      "#HttpOnly_.example.org\tTRUE\t/\tTRUE\t1999999999\tsid\tkept\n";
  const std::string written = cookiesTxtWith(old, "uin=o0012345678; skey=@new; p_skey=fresh");
  EXPECT_NE(written.find(".example.com\tTRUE\t/\tFALSE\t0\tskey\tforeign\n"), std::string::npos);
  EXPECT_NE(written.find("#HttpOnly_.example.org\tTRUE\t/\tTRUE\t1999999999\tsid\tkept\n"),
            std::string::npos);
  EXPECT_NE(written.find("#HttpOnly_.qzone.qq.com\tTRUE\t/\tFALSE\t1999999999\tp_skey\tfresh\n"),
            std::string::npos);
  EXPECT_EQ(written.find("old"), std::string::npos) << written;
  EXPECT_EQ(written.find("stale"), std::string::npos) << written;
  EXPECT_EQ(readCookieFileText(written).cookieText, "skey=@new; p_skey=fresh; uin=o0012345678");
  // A document-cookie line has no other sites' lines to keep.
  EXPECT_TRUE(isCookiesTxt(old));
  EXPECT_FALSE(isCookiesTxt("# mine\nuin=o1; skey=@x\n"));
  EXPECT_EQ(cookiesTxtWith("uin=o1; skey=@x\n", "skey=@y"),
            "# Netscape HTTP Cookie File\n.qq.com\tTRUE\t/\tFALSE\t0\tskey\t@y\n");
}

TEST(CookieFile, WritingReplacesTheFileWholeAndOnlyItsOwnerMayReadIt) {
  testing::TempFolder folder;
  const std::string path = (folder.path() / "new" / "cookies.txt").string();
  std::string error;
  ASSERT_TRUE(writeCookieFile(path, "first\n", &error)) << error;
  ::chmod(path.c_str(), 0644);
  ASSERT_TRUE(writeCookieFile(path, "second\n", &error)) << error;
  std::ostringstream content;
  content << std::ifstream(path).rdbuf();
  EXPECT_EQ(content.str(), "second\n");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path() / "new"),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_FALSE(writeCookieFile((folder.path() / "new" / "cookies.txt" / "x").string(), "x", &error));
  EXPECT_NE(error, "");
}

}  // namespace
}  // namespace fotolun
