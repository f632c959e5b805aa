#include "session/qr_sign_in.h"

#include <gtest/gtest.h>

namespace fotolun {
namespace {

TEST(QrSignIn, TokenWrapsAt32BitsAndDropsTheTopBit) {
  EXPECT_EQ(QrToken(""), 0u);
  EXPECT_EQ(QrToken("abc"), 108966u);
  EXPECT_EQ(QrToken("Zr3S-k8aQmX*pT0_zVx9LbcN4uyJ1wEeR5oGhIf6sKd2jM7nWlYq"), 1836776827u);
}

TEST(QrSignIn, PollRepliesAreReadByTheirQuotes) {
  const struct {
    const char* body;
    int code;  // -1: not understood
    const char* url;
    const char* message;
    const char* nickname;
  } cases[] = {
      {"ptuiCB('66','0','','0','二维码未失效。(3203)', '')\r\n", 66, "", "二维码未失效。(3203)", ""},
      {"ptuiCB('0','0','https://ptlogin2.qzone.qq.com/check_sig?a=1&b=2','0','登录成功！', '小明, 你好')", 0,
       "https://ptlogin2.qzone.qq.com/check_sig?a=1&b=2", "登录成功！", "小明, 你好"},
      {"ptuiCB('68','0','','0','本次登录已被拒绝，请重新扫描二维码, 并在手机上确认', '')", 68, "",
       "本次登录已被拒绝，请重新扫描二维码, 并在手机上确认", ""},
      {"<html>busy</html>", -1, "", "", ""},
      {"ptuiCB('x','0','','0','m','')", -1, "", "", ""},
      {"ptuiCB('66','0','')", -1, "", "", ""},
      {"ptuiCB('66','0','','0','unterminated", -1, "", "", ""},
  };
  for (const auto& c : cases) {
    const std::optional<QrPollReply> reply = ParseQrPollReply(c.body);
    if (c.code == -1) {
      EXPECT_FALSE(reply) << c.body;
      continue;
    }
    ASSERT_TRUE(reply) << c.body;
    EXPECT_EQ(reply->code, c.code);
    EXPECT_EQ(reply->url, c.url);
    EXPECT_EQ(reply->message, c.message);
    EXPECT_EQ(reply->nickname, c.nickname);
  }
}

}  // namespace
}  // namespace fotolun
