#include "app/read_session_credentials.h"

#include "text/encoding.h"

namespace fotolun {

void readSessionCredentials(Program& program, SessionBrowser& browser, bool sayWhenNone) {
  Context context(program);
  const Text cookieText = browser.documentCookie();
  // Closing the window before any page set a cookie (or with no page at all) is no sign-in; it
  // must not throw away a session that still works.
  if (TrimSpaces(cookieText).empty()) {
    if (sayWhenNone) program.form.appendLog(Utf8ToGbk("没有找到登录信息，保留原来的登录\r\n"));
  } else {
    SessionCredentials credentials = CredentialsFromCookieText(cookieText);
    credentials.storeCookies = browser.storeCookies();
    program.credentials.set(std::move(credentials));
  }
  LetMessagesRun(context);
}

}  // namespace fotolun
