#pragma once
// Taking the session over from the login window once the user has signed in there.
#include "program/program.h"

namespace fotolun {

// The login window's browser as the session sees it.
class SessionBrowser {
 public:
  virtual ~SessionBrowser() = default;
  // document.cookie of the page shown, as GBK text; "" when no page is shown.
  virtual Text documentCookie() = 0;
  // The service's cookies in the browser's cookie store, those script cannot read included
  // ("name=value; ..."); "" when the browser keeps no store apart.
  virtual Text storeCookies() { return ""; }
};

// Replaces program.credentials with those of the browser's cookie text (uin and g_tk derived
// from it) and its cookie store's service cookies, then lets pending messages run. A browser without cookies
// keeps the session there was, and the log says no sign-in was found unless sayWhenNone is false (a read that
// another follows). UI thread.
void readSessionCredentials(Program& program, SessionBrowser& browser, bool sayWhenNone = true);

}  // namespace fotolun
