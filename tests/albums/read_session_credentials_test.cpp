#include "app/read_session_credentials.h"

#include <gtest/gtest.h>

#include "form/locked_ui_thread.h"
#include "support/scripted_form.h"

namespace fotolun {
namespace {

class ShownPage : public SessionBrowser {
 public:
  explicit ShownPage(Text cookie) : cookie_(std::move(cookie)) {}
  Text documentCookie() override { return cookie_; }

 private:
  Text cookie_;
};

TEST(ReadSessionCredentials, ReplacesTheWholeRecordWithTheBrowsersSession) {
  testing::ScriptedForm form;
  LockedUiThread ui;
  Program program(form, ui);
  program.credentials.set({"old=1", "111", "222", ""});

  ShownPage signedIn("pt2gguin=o0012345; uin=o0012345; skey=abc; p_skey=zzz");
  readSessionCredentials(program, signedIn);
  SessionCredentials read = program.credentials.get();
  EXPECT_EQ(read.cookieText, "pt2gguin=o0012345; uin=o0012345; skey=abc; p_skey=zzz");
  EXPECT_EQ(read.uin, "12345");
  EXPECT_EQ(read.gTk, "193485963");

  // A window closed without any cookie keeps the session that works, and says so.
  ShownPage blank(" ");
  readSessionCredentials(program, blank);
  read = program.credentials.get();
  EXPECT_EQ(read.cookieText, "pt2gguin=o0012345; uin=o0012345; skey=abc; p_skey=zzz");
  EXPECT_EQ(read.uin, "12345");
  EXPECT_NE(form.log().find("没有找到登录信息，保留原来的登录"), std::string::npos);
}

}  // namespace
}  // namespace fotolun
