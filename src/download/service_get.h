#pragma once
#include "program/program.h"

namespace fotolun {

// A GET of url through SendServiceRequest after the run's checkpoint. With session cookies the
// sign-in's cookie text is sent and the reply's cookies are merged back into it; without them an
// empty cookie text is sent and whatever the reply sets is dropped.
ByteBuffer serviceGet(Context& context, const Text& url, bool withSessionCookies, Text* headers = nullptr,
                      int* status = nullptr);

// A listing request: up to attempts sends, waiting retryMs after every empty reply (after the
// last one too). Returns the reply's text, still UTF-8, or "" when every attempt came back empty.
Text requestListingText(Context& context, const Text& url, int attempts, int retryMs = 2000);

}  // namespace fotolun
