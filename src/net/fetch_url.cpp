#include <chrono>

#include "net/cookies.h"
#include "net/curl_transfer.h"
#include "net/http_clients.h"
#include "net/process_cookie_store.h"
#include "net/request_headers.h"
#include "net/request_object.h"
#include "net/response_cookies.h"
#include "net/url_parts.h"

namespace fotolun {
namespace {

// No caller sets a time-out here, yet a server that never answers must not hold the route lookup
// or the version check for ever; a minute is generous for the small replies fetched here.
constexpr std::chrono::seconds kConnectLimit{60};
constexpr std::chrono::seconds kIdleLimit{60};

// The agent is what follows the first "User-Agent:" anywhere in the headers, up to the line's end.
Text AgentOf(const Text& headers) {
  static constexpr std::string_view kMarker = "User-Agent:";
  const int at = FindText(headers, kMarker, 1, true);
  if (at == -1) return Text(kDefaultAgent);
  const int valueStart = at + static_cast<int>(kMarker.size());
  const int lineEnd = FindText(headers, "\r\n", valueStart);
  const std::string_view rest = std::string_view(headers).substr(static_cast<std::size_t>(valueStart - 1));
  return TrimSpaces(lineEnd == -1 ? rest : rest.substr(0, static_cast<std::size_t>(lineEnd - valueStart)));
}

// The address is taken apart as the request is built from it: the scheme from its first five
// letters, host and port from UrlHost and UrlPort, the path with its query from UrlPath.
std::string TransferUrl(const Text& url) {
  const bool secure = IsHttpsUrl(url);
  const int port = UrlPort(url);
  std::string built = secure ? "https://" : "http://";
  built += UrlHost(url);
  if (port != (secure ? 443 : 80)) built += ":" + std::to_string(port);
  return built + UrlPath(url);
}

}  // namespace

ByteBuffer FetchUrl(const Text& url, int method, const Text& postText, Text* cookies, Text* responseCookies,
                    Text* headers, Text* responseHeaders, bool noRedirect, ByteBuffer* postBytes,
                    const Text& proxy, const Text& caFile) {
  RequestObject& object = ThreadFetchObject();
  std::lock_guard lock(object.inUse());
  if (!object.curlHandle()) return {};

  Text ownResponseCookies, ownHeaders, ownResponseHeaders;
  ByteBuffer ownPostBytes;
  Text& setCookies = responseCookies ? *responseCookies : ownResponseCookies;
  Text& headerText = headers ? *headers : ownHeaders;
  Text& receivedHeaders = responseHeaders ? *responseHeaders : ownResponseHeaders;
  ByteBuffer& bodyBytes = postBytes ? *postBytes : ownPostBytes;

  TransferRequest transfer;
  transfer.verb = RequestVerb(method);
  transfer.url = TransferUrl(url);
  transfer.followRedirects = !noRedirect;
  transfer.connectTimeout = kConnectLimit;
  transfer.idleTimeout = kIdleLimit;
  transfer.proxy = proxy;
  transfer.caFile = caFile;
  // The agent goes out as the User-Agent line. libcurl adds that line (after Host) only when the
  // header text has no line of that name; when it has one, the agent was read from it and that
  // line, in its place, is the only one sent.
  transfer.userAgent = AgentOf(headerText);

  AppendDefaultHeaders(headerText, url, false);
  if (cookies) {
    if (const Text value = CookieHeaderValue(*cookies); !value.empty())
      headerText += ConcatText(std::string_view("\r\nCookie: "), value);
  }
  transfer.headerLines = CurlHeaderLines(headerText);
  // Without a cookie string of the caller's, the process store sends and keeps the cookies; its
  // Cookie line goes out right after the agent, ahead of the header text.
  if (!cookies) transfer.cookieShare = ProcessCookieShare();

  if (transfer.verb != "GET") {
    if (bodyBytes.empty()) bodyBytes = postText;
    if (!bodyBytes.empty() || transfer.verb == "POST") transfer.body = bodyBytes;
  }

  TransferOutcome outcome = PerformTransfer(object.curlHandle(), transfer);
  Text allBlocks;
  for (const Text& block : outcome.headerBlocks) allBlocks += block;
  receivedHeaders = outcome.headerBlocks.empty() ? Text() : SpellSetCookie(outcome.headerBlocks.back());
  setCookies = CookiesSetBy(SpellSetCookie(allBlocks));
  if (cookies) MergeCookies(*cookies, setCookies);
  return std::move(outcome.body);
}

}  // namespace fotolun
