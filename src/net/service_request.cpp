#include <chrono>

#include "net/cookies.h"
#include "net/curl_transfer.h"
#include "net/http_clients.h"
#include "net/request_headers.h"
#include "net/request_object.h"
#include "net/response_cookies.h"
#include "net/service_exchange.h"

namespace fotolun {

TransferRequest ServiceTransfer(ServiceExchange& exchange, const Text& cookieText) {
  TransferRequest transfer;
  transfer.verb = RequestVerb(exchange.method);
  transfer.url = exchange.url;
  transfer.followRedirects = !exchange.noRedirect;
  if (exchange.timeoutSeconds != -1) {
    // The Windows object's time-outs are per step (resolve, connect, send, each receive), not for
    // the whole exchange: a large photo that keeps arriving is never cut off.
    const std::chrono::seconds limit(exchange.timeoutSeconds >= 1 ? exchange.timeoutSeconds : 15);
    transfer.connectTimeout = limit;
    transfer.idleTimeout = limit;
  }
  if (exchange.maxBodyBytes > 0) transfer.maxBodyBytes = exchange.maxBodyBytes;
  transfer.proxy = exchange.proxy;
  transfer.caFile = exchange.caFile;
  if (!exchange.headersComplete) AppendDefaultHeaders(exchange.headers, exchange.url, true);
  if (const Text value = CookieHeaderValue(cookieText); !value.empty())
    transfer.headerLines.push_back(*CurlHeaderLine("Cookie", value));
  for (std::string& line : CurlHeaderLines(exchange.headers)) transfer.headerLines.push_back(std::move(line));
  return transfer;
}

ServiceReply TakeServiceOutcome(const TransferOutcome& outcome, Text& cookieText) {
  ServiceReply reply;
  Text allBlocks;
  for (const Text& block : outcome.headerBlocks) allBlocks += block;
  reply.headers = outcome.headerBlocks.empty() ? Text() : SpellSetCookie(outcome.headerBlocks.back());
  reply.status = outcome.status;
  // Cookies set on the way through a redirect count too, as a browser keeps them.
  reply.setCookies = CookiesSetBy(SpellSetCookie(allBlocks));
  MergeCookies(cookieText, reply.setCookies);
  return reply;
}

ByteBuffer SendServiceRequest(const Text& url, int method, const Text& postText, Text* cookies,
                              Text* responseCookies, Text* headers, Text* responseHeaders, int* status,
                              bool noRedirect, const ByteBuffer& postBytes, const Text& proxy,
                              int timeoutSeconds, const Text& proxyUser, const Text& proxyPassword,
                              int proxyCredentialFlag, RequestObject* requestObject, std::size_t maxBodyBytes,
                              const Text& caFile, BodySink* bodySink, NoResponseCause* noResponse) {
  RequestObject& object = requestObject ? *requestObject : ThreadServiceObject();
  std::lock_guard lock(object.inUse());
  if (!object.curlHandle()) return {};

  Text ownCookies, ownResponseCookies, ownHeaders, ownResponseHeaders;
  int ownStatus = 0;
  Text& cookieText = cookies ? *cookies : ownCookies;
  Text& setCookies = responseCookies ? *responseCookies : ownResponseCookies;
  Text& headerText = headers ? *headers : ownHeaders;
  Text& receivedHeaders = responseHeaders ? *responseHeaders : ownResponseHeaders;
  int& statusCode = status ? *status : ownStatus;

  ServiceExchange exchange{
      url, method, noRedirect, std::move(headerText), false, proxy, timeoutSeconds, maxBodyBytes, caFile};
  TransferRequest transfer = ServiceTransfer(exchange, cookieText);
  headerText = std::move(exchange.headers);
  transfer.bodySink = bodySink;
  if (!proxy.empty() && !proxyUser.empty()) {
    // 0 asks for credentials of the server itself; anything else, as the default 1, of the proxy.
    (proxyCredentialFlag == 0 ? transfer.serverCredentials : transfer.proxyCredentials) =
        Credentials{proxyUser, proxyPassword};
  }
  const ByteBuffer& body = postBytes.empty() ? postText : postBytes;
  if (!body.empty() || transfer.verb == "POST") transfer.body = body;

  TransferOutcome outcome = PerformTransfer(object.curlHandle(), transfer);
  if (noResponse != nullptr) *noResponse = {outcome.certificateRefused, outcome.unreachable};
  ServiceReply reply = TakeServiceOutcome(outcome, cookieText);
  receivedHeaders = std::move(reply.headers);
  statusCode = reply.status;
  setCookies = std::move(reply.setCookies);
  return std::move(outcome.body);
}

}  // namespace fotolun
