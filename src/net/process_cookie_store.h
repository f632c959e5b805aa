#pragma once
// The cookie store of the process that FetchUrl uses when its caller keeps no cookie string, as
// the system's own internet settings would: every FetchUrl call on any thread sends and keeps
// cookies there.

namespace fotolun {

// A libcurl share handle (CURLSH*) holding the cookies. It lives until the process ends.
void* ProcessCookieShare();

// Forgets every cookie of the store (tests start from an empty one).
void ResetProcessCookieStore();

}  // namespace fotolun
