#include "download/service_get.h"

#include "net/http_clients.h"

namespace fotolun {

ByteBuffer serviceGet(Context& context, const Text& url, bool withSessionCookies, Text* headers,
                      int* status) {
  context.checkpoint();
  const Text proxy = context.program.proxy;
  auto send = [&](Text& cookies) {
    return SendServiceRequest(url, 0, "", &cookies, nullptr, headers, nullptr, status, false, "", proxy);
  };
  if (withSessionCookies) return context.program.credentials.withCookies(send);
  Text noCookies;
  return send(noCookies);
}

Text requestListingText(Context& context, const Text& url, int attempts, int retryMs) {
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    Text text = BufferToText(serviceGet(context, url, true));
    if (!text.empty()) return text;
    WaitWithMessages(context, retryMs);
  }
  return "";
}

}  // namespace fotolun
