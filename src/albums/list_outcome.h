#pragma once
// How an album list ended, for front ends that act on it (the command line's exit code).
#include "program/program.h"
#include "service/reply_verdict.h"

namespace fotolun {

enum class ListOutcome {
  listed,        // rows were added
  noAlbums,      // the service answered with an empty list
  notSignedIn,   // the service says the session is gone
  noPermission,  // the owner does not let this session see the albums
  failed,        // no usable answer; the log says why
};

// The service no longer knows the session: "请先登录", then the login window at the personal
// space's home page.
void askToSignInAgain(Context& context);

// A list without a usable answer: the reason in the log and in a box.
void reportListFailure(Context& context, const Text& reason);

}  // namespace fotolun
