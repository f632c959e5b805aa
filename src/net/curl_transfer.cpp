#include "net/curl_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

#include "net/proxy_choice.h"
#include "net/transfer_watch.h"
#include "net/url_parts.h"
#include "platform/path.h"

namespace fotolun {
namespace {

constexpr long kMaxRedirects = 10;
constexpr long kStreamBufferBytes = 1024 * 1024;

struct SlistFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Sorts the header lines libcurl hands over into one block per response. A new status line
// means a new response, so whatever body came before belonged to a redirect and is dropped.
class ResponseCollector {
 public:
  ByteBuffer body;
  std::size_t received = 0;  // bytes of the current response's body
  BodySink* sink = nullptr;
  std::vector<Text> blocks;
  // Ends the exchange once the first answer's headers are in (see SetBody).
  bool endAtFirstAnswer = false;
  bool answered = false;
  std::size_t maxBodyBytes = 0;

  // False ends the transfer.
  bool addHeaderLine(std::string_view raw) {
    while (!raw.empty() && (raw.back() == '\n' || raw.back() == '\r')) raw.remove_suffix(1);
    if (raw.substr(0, 5) == "HTTP/") {
      blocks.emplace_back(raw).append("\r\n");
      interim_ = raw.size() > 9 && raw[9] == '1';
      open_ = true;
      body.clear();
      if (sink && received > 0) sink->restart();
      received = 0;
      return true;
    }
    if (!open_) return true;  // trailers after a chunked body
    blocks.back().append(raw).append("\r\n");
    if (raw.empty()) {
      open_ = false;
      if (interim_) {
        blocks.pop_back();
      } else if (endAtFirstAnswer) {
        answered = true;
        return false;
      }
    }
    return true;
  }

  static size_t onHeader(char* data, size_t size, size_t count, void* self) {
    const bool more =
        static_cast<ResponseCollector*>(self)->addHeaderLine(std::string_view(data, size * count));
    return more ? size * count : 0;
  }

  static size_t onBody(char* data, size_t size, size_t count, void* self) {
    auto& collector = *static_cast<ResponseCollector*>(self);
    const std::size_t bytes = size * count;
    if (bytes > collector.maxBodyBytes - std::min(collector.maxBodyBytes, collector.received)) return 0;
    collector.received += bytes;
    if (collector.sink) return collector.sink->take(std::string_view(data, bytes)) ? bytes : 0;
    if (collector.body.empty()) collector.reserveAnnouncedLength();
    collector.body.append(data, bytes);
    return bytes;
  }

  CURL* curl = nullptr;

 private:
  // One allocation for a body of announced length instead of a string doubling its way there; a
  // length no photo comes near is not trusted that far.
  void reserveAnnouncedLength() {
    constexpr curl_off_t kLargestReserve = 64 << 20;
    curl_off_t announced = -1;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) == CURLE_OK &&
        announced > 0) {
      body.reserve(std::min(static_cast<std::size_t>(std::min(announced, kLargestReserve)), maxBodyBytes));
    }
  }

  bool open_ = false;
  bool interim_ = false;
};

bool NamesHeader(const std::vector<std::string>& lines, std::string_view name) {
  const auto sameLetters = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  for (const std::string& line : lines) {
    if (line.size() > name.size() && (line[name.size()] == ':' || line[name.size()] == ';') &&
        std::equal(name.begin(), name.end(), line.begin(), sameLetters)) {
      return true;
    }
  }
  return false;
}

void SetBody(CURL* curl, const TransferRequest& transfer, ResponseCollector& response) {
  if (transfer.verb == "HEAD" && transfer.body) {
    // libcurl sends no body with a plain HEAD, and with a HEAD it did not choose itself it waits
    // for the body the answer's Content-Length announces, which never comes. So the body goes
    // with a custom HEAD and the exchange ends as soon as the answer's headers are in; the
    // connection is not kept and a redirect is not followed.
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(transfer.body->size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, transfer.body->data());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "HEAD");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    response.endAtFirstAnswer = true;
    return;
  }
  if (transfer.verb == "HEAD") curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  if (transfer.body) {
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(transfer.body->size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, transfer.body->data());
    if (transfer.verb != "POST") curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, transfer.verb.c_str());
  }
}

// libcurl refuses an address with a space in it, where a browser sends "%20".
std::string EscapeSpaces(const std::string& url) {
  std::string escaped;
  for (char c : url) escaped += c == ' ' ? std::string("%20") : std::string(1, c);
  return escaped;
}

void SetProxy(CURL* curl, const TransferRequest& transfer) {
  if (!transfer.proxy.empty()) {
    curl_easy_setopt(curl, CURLOPT_PROXY, transfer.proxy.c_str());
    // A proxy given for the request takes every host, whatever no_proxy says.
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "");
  } else if (const auto fromEnvironment = ProxyFromEnvironment(transfer.url)) {
    curl_easy_setopt(curl, CURLOPT_PROXY, fromEnvironment->c_str());
  }
  if (transfer.proxyCredentials) {
    curl_easy_setopt(curl, CURLOPT_PROXYUSERNAME, transfer.proxyCredentials->user.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXYPASSWORD, transfer.proxyCredentials->password.c_str());
  }
}

std::optional<std::string> ReadWholeFile(const char* path) {
  std::ifstream file(platform::systemPath(path), std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

// libcurl's CA file replaces the system's authorities; the program's adds to them, so the two go
// to libcurl together, read afresh for each exchange so that a changed file counts at once.
void SetTrustedAuthorities(CURL* curl, const TransferRequest& transfer) {
  if (transfer.caFile.empty()) return;
  const std::optional<std::string> extra = ReadWholeFile(transfer.caFile.c_str());
  if (!extra) {
    // libcurl then fails each https exchange for want of the file, and says so.
    curl_easy_setopt(curl, CURLOPT_CAINFO, transfer.caFile.c_str());
    return;
  }
  const char* systemFile = nullptr;
  curl_easy_getinfo(curl, CURLINFO_CAINFO, &systemFile);
  std::string both = systemFile ? ReadWholeFile(systemFile).value_or("") : "";
  both.append("\n").append(*extra);
  curl_blob blob{both.data(), both.size(), CURL_BLOB_COPY};
  curl_easy_setopt(curl, CURLOPT_CAINFO_BLOB, &blob);
}

}  // namespace

struct PreparedTransfer::State {
  std::unique_ptr<curl_slist, SlistFree> headers;
  ResponseCollector response;
  TransferWatch watch;
  std::string address;
  bool cookieShare = false;

  explicit State(const TransferRequest& transfer) : watch(transfer.idleTimeout) {}
};

PreparedTransfer::PreparedTransfer(void* curlHandle, const TransferRequest& transfer) : curl_(curlHandle) {
  // libcurl would read "http:///p" as the host "p" and carry the session cookies there: a URL
  // whose host is missing (a route lookup that found none) fails before anything is sent.
  if (UrlHost(transfer.url).empty()) return;
  ready_ = true;
  CURL* curl = static_cast<CURL*>(curlHandle);
  // A reset handle keeps its live connections, which is what makes the next request cheap.
  curl_easy_reset(curl);
  state_ = std::make_unique<State>(transfer);
  State& state = *state_;

  const auto addHeader = [&state](const std::string& line) {
    if (curl_slist* grown = curl_slist_append(state.headers.get(), line.c_str())) {
      state.headers.release();
      state.headers.reset(grown);
    }
  };
  for (const std::string& line : transfer.headerLines) addHeader(line);
  // libcurl's own additions, which the Windows objects never sent: waiting for "100 Continue"
  // before a body, and the obsolete keep-alive line to a proxy (HTTP/1.1 keeps alive anyway).
  for (const char* own : {"Expect", "Proxy-Connection"}) {
    if (!NamesHeader(transfer.headerLines, own)) addHeader(std::string(own) + ":");
  }

  ResponseCollector& response = state.response;
  response.maxBodyBytes = transfer.maxBodyBytes;
  response.curl = curl;
  response.sink = transfer.bodySink;
  state.address = EscapeSpaces(transfer.url);
  curl_easy_setopt(curl, CURLOPT_URL, state.address.c_str());
  curl_easy_setopt(curl, CURLOPT_DEFAULT_PROTOCOL, "http");
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, state.headers.get());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &ResponseCollector::onBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &response);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &ResponseCollector::onHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &response);
  curl_easy_setopt(curl, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &TransferWatch::onProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &state.watch);
  // Requests carry the session's cookies: a certificate that does not check out ends them.
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, transfer.followRedirects ? 1L : 0L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  if (transfer.connectTimeout) {
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(transfer.connectTimeout->count()));
  }
  if (!transfer.userAgent.empty()) curl_easy_setopt(curl, CURLOPT_USERAGENT, transfer.userAgent.c_str());
  if (transfer.serverCredentials) {
    curl_easy_setopt(curl, CURLOPT_USERNAME, transfer.serverCredentials->user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, transfer.serverCredentials->password.c_str());
  }
  // Detaching first drops the store from a handle that used it for the previous request.
  curl_easy_setopt(curl, CURLOPT_SHARE, nullptr);
  if (transfer.cookieShare) {
    state.cookieShare = true;
    curl_easy_setopt(curl, CURLOPT_SHARE, transfer.cookieShare);
    // Naming no file is what switches the cookie engine on for the store's cookies.
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
  }
  // A streamed body is written in fewer, larger pieces.
  if (transfer.bodySink) curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kStreamBufferBytes);
  SetProxy(curl, transfer);
  SetTrustedAuthorities(curl, transfer);
  SetBody(curl, transfer, response);
}

// A handle left attached to a cookie share would keep it from being cleaned up.
PreparedTransfer::~PreparedTransfer() {
  if (state_ && state_->cookieShare) curl_easy_setopt(static_cast<CURL*>(curl_), CURLOPT_SHARE, nullptr);
}

TransferOutcome PreparedTransfer::finish(int curlCode) {
  TransferOutcome outcome;
  if (!ready_) return outcome;
  CURL* curl = static_cast<CURL*>(curl_);
  ResponseCollector& response = state_->response;
  const auto result = static_cast<CURLcode>(curlCode);
  // curl_easy_reset forgets the list of cookie files without freeing it.
  if (state_->cookieShare) curl_easy_setopt(curl, CURLOPT_COOKIEFILE, nullptr);
  if (result != CURLE_OK && !(result == CURLE_WRITE_ERROR && response.answered)) {
    outcome.certificateRefused =
        result == CURLE_PEER_FAILED_VERIFICATION || result == CURLE_SSL_CACERT_BADFILE;
    long tunnelStatus = 0;
    curl_easy_getinfo(curl, CURLINFO_HTTP_CONNECTCODE, &tunnelStatus);
    outcome.unreachable = result == CURLE_COULDNT_RESOLVE_HOST || result == CURLE_COULDNT_RESOLVE_PROXY ||
                          result == CURLE_COULDNT_CONNECT || (tunnelStatus != 0 && tunnelStatus / 100 != 2);
    return outcome;
  }
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  outcome.completed = true;
  outcome.status = static_cast<int>(status);
  outcome.body = std::move(response.body);
  outcome.bodyBytes = response.received;
  outcome.headerBlocks = std::move(response.blocks);
  return outcome;
}

TransferOutcome PerformTransfer(void* curlHandle, const TransferRequest& transfer) {
  PreparedTransfer prepared(curlHandle, transfer);
  if (!prepared.ready()) return {};
  return prepared.finish(curl_easy_perform(static_cast<CURL*>(curlHandle)));
}

}  // namespace fotolun
