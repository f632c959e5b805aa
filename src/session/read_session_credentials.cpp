#include "session/read_session_credentials.h"

namespace fotolun {

void readSessionCredentials(Program& program, SessionBrowser& browser) {
  program.credentials.set(CredentialsFromCookieText(browser.documentCookie()));
  Context context(program);
  LetMessagesRun(context);
}

}  // namespace fotolun
