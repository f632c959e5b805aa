#include "service/service_get.h"

#include "net/http_clients.h"
#include "service/session_destination.h"

namespace fotolun {

ServiceResponse serviceGet(Context& context, const Text& url, const ServiceGetOptions& options) {
  context.checkpoint();
  ServiceResponse response;
  if (options.sessionCookies && !maySendSession(context.program.hosts, url)) {
    response.refusedHost = true;
    return response;
  }
  const Text proxy = context.program.proxy;
  const Text caFile = context.program.caFile;
  Text headers = options.headers;
  auto send = [&](Text& cookies) {
    return SendServiceRequest(url, 0, "", &cookies, nullptr, &headers, &response.headers, &response.status,
                              false, "", proxy, 0, "", "", 1, nullptr, options.maxBodyBytes, caFile);
  };
  if (options.sessionCookies) {
    response.body = context.program.credentials.withCookies(send, options.wholeSession);
  } else {
    Text noCookies;
    response.body = send(noCookies);
  }
  return response;
}

}  // namespace fotolun
