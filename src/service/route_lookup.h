#pragma once
// Which storage host serves the personal albums of TargetNumber.
#include "program/program.h"

namespace fotolun {

// Asks the routing host about number and returns the album host, or "" when the reply names
// none (a failed request included). One request, no retry. A host outside the service's domains
// counts as none, and the log says so: the album host is sent the session.
Text lookupAlbumHost(Context& context, const Text& number);
// The same for TargetNumber.
Text lookupAlbumHost(Context& context);

// The album host named by a routing reply: the backup record ("<default>_bak") of the default
// route, not the default record itself. "" when the reply does not name one.
Text albumHostFromRouteReply(const Text& reply);

}  // namespace fotolun
