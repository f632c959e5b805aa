#pragma once
// A small loopback HTTP/1.1 server on libmicrohttpd that answers both as an origin and as a
// forward proxy (absolute-form request lines, and with a certificate, CONNECT tunnels carrying
// TLS), keeps a log of every request with its header lines in the order received, and injects
// faults per URL.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fotolun::standin {

using HeaderLines = std::vector<std::pair<std::string, std::string>>;

struct Request {
  std::string method;
  std::string url;      // absolute: "http[s]://host[:port]/path?query", also for origin-form lines
  std::string host;     // host name without port, lower case
  std::string target;   // path and query as the origin would see them ("/p?q")
  std::string path;     // path only
  HeaderLines headers;  // in the order received
  std::string body;
  bool viaProxy = false;       // the request line was in absolute form, or came inside a CONNECT tunnel
  bool tls = false;            // came over TLS: inside a tunnel, or to the server as an https origin
  std::size_t connection = 0;  // which connection carried it: 1 for the first accepted, and so on
  std::chrono::system_clock::time_point time;

  // First header of that name (case-insensitive), or "".
  std::string header(const std::string& name) const;
  // A query parameter's value as sent (not decoded), or "".
  std::string query(const std::string& name) const;
};

struct Response {
  int status = 200;
  HeaderLines headers;  // sent in this order (Set-Cookie lines included)
  std::string body;
};

enum class FaultKind {
  EmptyReply,      // 200 with an empty body
  Delay,           // answer after delay
  DropBeforeBody,  // close the connection without an answer
  DropMidBody,     // send the headers and half the body, then close
  HttpError,       // answer with status and a short error page
  NotJson,         // 200 with a body that is not JSON
  SlowBody,        // the answer's body in pieces of chunkBytes, delay before each piece after the first
  Reply,           // answer with reply instead of what the service would say (a busy code, an error
                   // page served with 200, a 429 with Retry-After, a route to a foreign host)
  AddHeaders,      // answer as the service would, with reply's header lines added (a Set-Cookie
                   // renewing the session)
};

struct Fault {
  FaultKind kind = FaultKind::EmptyReply;
  int times = -1;  // how many matching requests it hits; -1 = every one
  std::chrono::milliseconds delay{0};
  int status = 500;
  std::size_t chunkBytes = 16 * 1024;  // SlowBody
  Response reply{};                    // Reply
  int skip = 0;  // matching requests let through untouched first (a session that expires mid-run)
  // Above zero: from its first hit the fault hits every matching request for this long, then none
  // (a throttle wall of a given length), whatever times says.
  std::chrono::milliseconds lasting{0};
  std::optional<std::chrono::steady_clock::time_point> firstHit{};  // the server's own note
};

class HttpServer {
 public:
  // Called on the connection's own thread, so several calls may run at once.
  using Handler = std::function<Response(const Request&)>;

  explicit HttpServer(Handler handler);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Listens on 127.0.0.1; port 0 picks a free one. Returns the port. A CONNECT request is refused.
  std::uint16_t start(std::uint16_t port = 0);
  // The same, and on the same port also TLS with this certificate and key (PEM): a connection
  // that opens with a TLS handshake, and every CONNECT tunnel, whatever host it names.
  std::uint16_t startTls(const std::string& certificatePem, const std::string& keyPem,
                         std::uint16_t port = 0);
  void stop();
  std::uint16_t port() const;
  // "http://127.0.0.1:<port>", to be used as the program's proxy.
  std::string proxyUrl() const;

  // Faults apply to requests whose absolute URL contains urlPart, in the order added.
  void addFault(const std::string& urlPart, Fault fault);
  void clearFaults();
  // A proxy that cannot reach the https hosts: every CONNECT is answered 502, so https through the
  // proxy gets no tunnel while plain requests are served.
  void refuseTunnels(bool refused = true);

  // Connections accepted since start; a client that keeps its connection alive opens one.
  std::size_t connectionCount() const;
  // Connections that carried a logged request for host (a proxy connection may carry several hosts').
  std::size_t connectionsTo(const std::string& host) const;

  std::vector<Request> requests() const;
  void clearRequests();
  // Also append every request to this file (method, URL, header lines, time), "" = off.
  void setLogFile(const std::string& path);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace fotolun::standin
