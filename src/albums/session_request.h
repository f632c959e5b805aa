#pragma once
#include "program/program.h"

namespace fotolun {

// One GET of url through the service client with the signed-in session: the cookie text goes
// out with it and the cookies the reply sets are merged back into program.credentials.
ByteBuffer SendSessionRequest(Program& program, const Text& url);

}  // namespace fotolun
