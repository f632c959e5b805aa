#include "service/service_get.h"

#include <mutex>

#include "net/cookies.h"
#include "net/http_clients.h"
#include "net/request_object.h"
#include "net/service_exchange.h"
#include "session/session_destination.h"

namespace fotolun {

ServiceResponse serviceGet(Context& context, const Text& url, const ServiceGetOptions& options) {
  context.checkpoint();
  ServiceResponse response;
  if (options.sessionCookies && !maySendSession(context.program.hosts, url)) {
    response.refusedHost = true;
    return response;
  }
  if (options.asBrowser) {
    // Today's service: the request as the parallel streams make it, on this thread's handle.
    const std::optional<TransferRequest> transfer = serviceGetTransfer(context, url, options);
    RequestObject& object = ThreadServiceObject();
    std::lock_guard lock(object.inUse());
    if (!transfer || !object.curlHandle()) return response;
    return serviceGetResponse(context, options, PerformTransfer(object.curlHandle(), *transfer));
  }
  const Text& proxy = context.program.proxy;
  const Text& caFile = context.program.caFile;
  Text headers = options.headers;
  NoResponseCause noResponse;
  auto send = [&](Text& cookies) {
    return SendServiceRequest(url, 0, "", &cookies, nullptr, &headers, &response.headers, &response.status,
                              false, "", proxy, 0, "", "", 1, nullptr, options.maxBodyBytes, caFile,
                              options.bodySink, &noResponse);
  };
  if (options.sessionCookies) {
    response.body = context.program.credentials.withCookies(send, options.wholeSession);
  } else {
    Text noCookies;
    response.body = send(noCookies);
  }
  response.certificateRefused = noResponse.certificateRefused;
  response.unreachable = noResponse.unreachable;
  // A sink counts its own bytes; a response held here is its body's length.
  response.bodyBytes = response.body.size();
  return response;
}

std::optional<TransferRequest> serviceGetTransfer(Context& context, const Text& url,
                                                  const ServiceGetOptions& options) {
  if (options.sessionCookies && !maySendSession(context.program.hosts, url)) return std::nullopt;
  ServiceExchange exchange;
  exchange.url = url;
  exchange.headers = options.headers;
  exchange.headersComplete = options.asBrowser;
  exchange.proxy = context.program.proxy;
  exchange.caFile = context.program.caFile;
  exchange.maxBodyBytes = options.maxBodyBytes;
  const bool cookieText = options.sessionCookies && !options.asBrowser;
  TransferRequest transfer =
      ServiceTransfer(exchange, cookieText ? context.program.credentials.get().cookieText : Text());
  if (options.sessionCookies && options.asBrowser)
    transfer.cookieShare = context.program.sessionJar.prepare(context.program.hosts);
  transfer.bodySink = options.bodySink;
  return transfer;
}

ServiceResponse serviceGetResponse(Context& context, const ServiceGetOptions& options,
                                   TransferOutcome outcome) {
  ServiceResponse response;
  Text ignored;
  ServiceReply reply = TakeServiceOutcome(outcome, ignored);
  response.status = reply.status;
  response.headers = std::move(reply.headers);
  response.bodyBytes = outcome.bodyBytes;
  response.body = std::move(outcome.body);
  response.certificateRefused = outcome.certificateRefused;
  response.unreachable = outcome.unreachable;
  if (!options.sessionCookies) return response;
  if (options.asBrowser) {
    // The jar took the reply's cookies by the rules; the credentials learn them too.
    context.program.sessionJar.learned(reply.setCookies);
  } else if (!reply.setCookies.empty()) {
    context.program.credentials.withCookies([&](Text& cookies) {
      MergeCookies(cookies, reply.setCookies);
      return ByteBuffer();
    });
  }
  return response;
}

}  // namespace fotolun
