#include "albums/session_request.h"

#include "net/http_clients.h"

namespace fotolun {

ByteBuffer SendSessionRequest(Program& program, const Text& url) {
  return program.credentials.withCookies([&](Text& cookies) {
    return SendServiceRequest(url, 0, "", &cookies, nullptr, nullptr, nullptr, nullptr, false, "",
                              program.proxy);
  });
}

}  // namespace fotolun
