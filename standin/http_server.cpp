#include "standin/http_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <thread>

namespace fotolun::standin {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == prefix;
}

// "host:port" or "[v6]:port" to the lower-case host alone.
std::string HostOfAuthority(const std::string& authority) {
  if (!authority.empty() && authority.front() == '[') {
    const auto close = authority.find(']');
    return Lower(authority.substr(0, close == std::string::npos ? authority.size() : close + 1));
  }
  return Lower(authority.substr(0, authority.find(':')));
}

// What a connection thread collects for one request before the handler sees it.
// What a connection keeps while it lasts: its number and, for a tunnel, the CONNECT target.
struct ConnectionState {
  std::size_t serial = 0;
  std::optional<std::string> tunnelTarget;
};

struct PendingRequest {
  std::string rawTarget;  // the request line's target exactly as sent
  std::string body;
  bool headersSeen = false;
};

// Serves a body through MHD's content reader so that it can stop short (a dropped connection)
// or come in paced pieces (a slow link) while Content-Length still announces the whole body.
struct BodyStream {
  std::string body;
  std::size_t deliver = 0;  // bytes to hand out before ending
  std::size_t pieceBytes = 0;
  std::chrono::milliseconds pause{0};
  std::function<bool(std::chrono::milliseconds)> sleep;  // false once the server stops
};

ssize_t ReadBodyStream(void* cls, uint64_t pos, char* buffer, size_t max) {
  auto& stream = *static_cast<BodyStream*>(cls);
  if (pos >= stream.deliver) {
    return stream.deliver < stream.body.size() ? MHD_CONTENT_READER_END_WITH_ERROR
                                               : MHD_CONTENT_READER_END_OF_STREAM;
  }
  if (pos > 0 && stream.pause.count() > 0 && !stream.sleep(stream.pause)) {
    return MHD_CONTENT_READER_END_WITH_ERROR;
  }
  std::size_t n = std::min<std::size_t>(max, stream.deliver - pos);
  if (stream.pieceBytes > 0) n = std::min(n, stream.pieceBytes);
  std::memcpy(buffer, stream.body.data() + pos, n);
  return static_cast<ssize_t>(n);
}

void FreeBodyStream(void* cls) { delete static_cast<BodyStream*>(cls); }

std::string FormatTime(std::chrono::system_clock::time_point time) {
  const std::time_t t = std::chrono::system_clock::to_time_t(time);
  std::tm parts{};
  gmtime_r(&t, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

// A connection that has sent nothing yet, or the head of a CONNECT request that has not ended.
struct Arriving {
  int fd = -1;
  sockaddr_in peer{};
  std::string head;  // the CONNECT head read so far (consumed from the socket)
  std::chrono::steady_clock::time_point since;
};

void SendAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t sent = send(fd, text.data(), text.size(), MSG_NOSIGNAL);
    if (sent <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(sent));
  }
}

}  // namespace

std::string Request::header(const std::string& name) const {
  const std::string wanted = Lower(name);
  for (const auto& [key, value] : headers) {
    if (Lower(key) == wanted) return value;
  }
  return "";
}

std::string Request::query(const std::string& name) const {
  const auto mark = target.find('?');
  if (mark == std::string::npos) return "";
  const std::string query = target.substr(mark + 1);
  std::size_t start = 0;
  while (start <= query.size()) {
    std::size_t end = query.find('&', start);
    if (end == std::string::npos) end = query.size();
    const std::string pair = query.substr(start, end - start);
    const auto eq = pair.find('=');
    if (pair.substr(0, eq) == name) return eq == std::string::npos ? "" : pair.substr(eq + 1);
    start = end + 1;
  }
  return "";
}

// One listening socket carries everything: the front sorts each new connection by its first
// bytes and hands it to one of two MHD daemons that listen nowhere themselves. A TLS handshake
// goes to the TLS daemon (the stand-in as an https origin); "CONNECT host:port" is answered here
// and the same socket, now a tunnel, goes to the TLS daemon too, since what follows the reply is
// the client's handshake with "host"; anything else is plain HTTP, origin or proxy. Handing over
// the socket itself means no bytes are copied between sockets and nothing is left to relay.
struct HttpServer::Impl {
  // What a daemon's callbacks are given: the server and whether the daemon speaks TLS.
  struct Side {
    Impl* impl;
    bool tls;
  };

  Handler handler;
  MHD_Daemon* plainDaemon = nullptr;
  MHD_Daemon* tlsDaemon = nullptr;
  Side plainSide{this, false};
  Side tlsSide{this, true};
  std::uint16_t port = 0;
  std::atomic<std::size_t> connections{0};
  std::atomic<bool> tunnelsRefused{false};

  int listenFd = -1;
  int wakeFd = -1;  // an eventfd that turns readable once, when the server stops
  std::thread front;

  mutable std::mutex mutex;  // faults, requests, logPath, tunnelTargets
  std::vector<std::pair<std::string, Fault>> faults;
  std::vector<Request> requests;
  std::string logPath;
  // Tunnels handed to the TLS daemon and not yet picked up by it, by socket: the CONNECT target.
  std::map<int, std::string> tunnelTargets;

  std::mutex stopMutex;
  std::condition_variable stopSignal;
  bool stopping = false;

  static constexpr std::chrono::seconds kArrivalLimit{60};
  static constexpr std::size_t kLongestConnectHead = 16 * 1024;

  // Delays give way to stop(), so that stopping never waits out a long injected delay.
  bool sleepFor(std::chrono::milliseconds duration) {
    std::unique_lock lock(stopMutex);
    return !stopSignal.wait_for(lock, duration, [this] { return stopping; });
  }

  std::optional<Fault> takeFault(const std::string& url) {
    std::lock_guard lock(mutex);
    for (auto& [part, fault] : faults) {
      if (fault.times == 0 || url.find(part) == std::string::npos) continue;
      if (fault.skip > 0) {
        --fault.skip;
        continue;
      }
      if (fault.lasting.count() > 0) {
        const auto now = std::chrono::steady_clock::now();
        if (!fault.firstHit) fault.firstHit = now;
        if (now - *fault.firstHit > fault.lasting) {
          fault.times = 0;
          continue;
        }
        return fault;
      }
      if (fault.times > 0) --fault.times;
      return fault;
    }
    return std::nullopt;
  }

  void record(const Request& request) {
    std::lock_guard lock(mutex);
    requests.push_back(request);
    if (logPath.empty()) return;
    std::ofstream log(logPath, std::ios::app | std::ios::binary);
    log << FormatTime(request.time) << ' ' << request.method << ' ' << request.url << "\r\n";
    for (const auto& [name, value] : request.headers) log << name << ": " << value << "\r\n";
    log << "\r\n";
  }

  Request describe(MHD_Connection* connection, const char* method, const PendingRequest& pending,
                   bool tls) const {
    Request request;
    request.method = method;
    request.time = std::chrono::system_clock::now();
    request.body = pending.body;
    request.tls = tls;
    MHD_get_connection_values_n(
        connection, MHD_HEADER_KIND,
        [](void* cls, MHD_ValueKind, const char* key, size_t keyLength, const char* value,
           size_t valueLength) {
          static_cast<HeaderLines*>(cls)->emplace_back(std::string(key, keyLength),
                                                       value ? std::string(value, valueLength) : "");
          return MHD_YES;
        },
        &request.headers);

    const std::string& raw = pending.rawTarget;
    std::string authority;
    if (StartsWithNoCase(raw, "http://") || StartsWithNoCase(raw, "https://")) {
      request.viaProxy = true;
      const auto hostStart = raw.find("://") + 3;
      const auto hostEnd = std::min(raw.find('/', hostStart), raw.find('?', hostStart));
      authority =
          raw.substr(hostStart, hostEnd == std::string::npos ? std::string::npos : hostEnd - hostStart);
      request.target = hostEnd == std::string::npos ? "/" : raw.substr(hostEnd);
      if (request.target.front() == '?') request.target.insert(0, "/");
      request.url = raw.substr(0, hostStart) + authority + request.target;
    } else {
      const MHD_ConnectionInfo* info =
          MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
      const auto* state = info ? static_cast<const ConnectionState*>(info->socket_context) : nullptr;
      const std::string* tunnelTarget = state && state->tunnelTarget ? &*state->tunnelTarget : nullptr;
      request.viaProxy = tunnelTarget != nullptr;
      authority = request.header("Host");
      if (authority.empty() && tunnelTarget) authority = *tunnelTarget;
      if (authority.empty()) authority = "127.0.0.1:" + std::to_string(port);
      request.target = raw.empty() ? "/" : raw;
      request.url = (tls ? "https://" : "http://") + authority + request.target;
    }
    request.host = HostOfAuthority(authority);
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    if (info && info->socket_context)
      request.connection = static_cast<const ConnectionState*>(info->socket_context)->serial;
    request.path = request.target.substr(0, request.target.find('?'));
    return request;
  }

  MHD_Result answer(MHD_Connection* connection, const Request& request) {
    const std::optional<Fault> fault = takeFault(request.url);
    Response response;
    if (fault && fault->kind == FaultKind::Delay && !sleepFor(fault->delay)) return MHD_NO;
    if (fault && fault->kind == FaultKind::DropBeforeBody) return MHD_NO;
    if (fault && fault->kind == FaultKind::EmptyReply) {
      response.status = 200;
    } else if (fault && fault->kind == FaultKind::HttpError) {
      response.status = fault->status;
      response.headers = {{"Content-Type", "text/html"}};
      response.body = "<html><body><h1>" + std::to_string(fault->status) + "</h1></body></html>";
    } else if (fault && fault->kind == FaultKind::Reply) {
      response = fault->reply;
    } else if (fault && fault->kind == FaultKind::NotJson) {
      response.headers = {{"Content-Type", "text/html"}};
      response.body = "<html><body>Service busy, please try again later.</body></html>";
    } else {
      try {
        response = handler(request);
      } catch (const std::exception& error) {
        response = Response{500, {{"Content-Type", "text/plain"}}, error.what()};
      }
      if (fault && fault->kind == FaultKind::AddHeaders)
        response.headers.insert(response.headers.end(), fault->reply.headers.begin(),
                                fault->reply.headers.end());
    }

    MHD_Response* reply = nullptr;
    const bool dropMid = fault && fault->kind == FaultKind::DropMidBody;
    const bool slow = fault && fault->kind == FaultKind::SlowBody;
    if (dropMid || slow) {
      auto* stream = new BodyStream{response.body, dropMid ? response.body.size() / 2 : response.body.size(),
                                    slow ? std::max<std::size_t>(1, fault->chunkBytes) : 0,
                                    slow ? fault->delay : std::chrono::milliseconds{0},
                                    [this](std::chrono::milliseconds d) { return sleepFor(d); }};
      reply = MHD_create_response_from_callback(response.body.size(), 64 * 1024, &ReadBodyStream, stream,
                                                &FreeBodyStream);
      if (!reply) delete stream;
    } else {
      reply =
          MHD_create_response_from_buffer(response.body.size(), response.body.data(), MHD_RESPMEM_MUST_COPY);
    }
    if (!reply) return MHD_NO;
    for (const auto& [name, value] : response.headers) {
      MHD_add_response_header(reply, name.c_str(), value.c_str());
    }
    const MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(response.status), reply);
    MHD_destroy_response(reply);
    return queued;
  }

  static void* onUri(void*, const char* uri, MHD_Connection*) {
    auto* pending = new PendingRequest;
    pending->rawTarget = uri ? uri : "";
    return pending;
  }

  static void onCompleted(void*, MHD_Connection*, void** requestContext, MHD_RequestTerminationCode) {
    delete static_cast<PendingRequest*>(*requestContext);
    *requestContext = nullptr;
  }

  // A tunnel's target moves from tunnelTargets to the connection's own context, where describe()
  // finds it and where it goes with the connection.
  static void onConnection(void* cls, MHD_Connection* connection, void** socketContext,
                           MHD_ConnectionNotificationCode code) {
    auto& self = *static_cast<Impl*>(cls);
    if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
      delete static_cast<ConnectionState*>(*socketContext);
      *socketContext = nullptr;
      return;
    }
    auto* state = new ConnectionState{++self.connections, std::nullopt};
    *socketContext = state;
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    if (!info) return;
    std::lock_guard lock(self.mutex);
    const auto tunnel = self.tunnelTargets.find(info->connect_fd);
    if (tunnel == self.tunnelTargets.end()) return;
    state->tunnelTarget = std::move(tunnel->second);
    self.tunnelTargets.erase(tunnel);
  }

  static MHD_Result onRequest(void* cls, MHD_Connection* connection, const char*, const char* method,
                              const char*, const char* uploadData, size_t* uploadSize,
                              void** requestContext) {
    const Side& side = *static_cast<Side*>(cls);
    auto* pending = static_cast<PendingRequest*>(*requestContext);
    if (!pending) return MHD_NO;
    // The first call comes with the headers alone; returning without an answer lets the body in.
    if (!pending->headersSeen) {
      pending->headersSeen = true;
      return MHD_YES;
    }
    if (*uploadSize > 0) {
      pending->body.append(uploadData, *uploadSize);
      *uploadSize = 0;
      return MHD_YES;
    }
    const Request request = side.impl->describe(connection, method, *pending, side.tls);
    side.impl->record(request);
    return side.impl->answer(connection, request);
  }

  MHD_Daemon* startDaemon(Side& side, const std::string& certificatePem, const std::string& keyPem) {
    const unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION | MHD_USE_POLL |
                           MHD_USE_NO_LISTEN_SOCKET | MHD_USE_ITC |
                           (side.tls ? static_cast<unsigned>(MHD_USE_TLS) : 0u);
    // MHD takes its options as a list; the TLS pair is only valid for a TLS daemon.
    std::vector<MHD_OptionItem> options = {
        {MHD_OPTION_URI_LOG_CALLBACK, reinterpret_cast<intptr_t>(&Impl::onUri), nullptr},
        {MHD_OPTION_NOTIFY_COMPLETED, reinterpret_cast<intptr_t>(&Impl::onCompleted), nullptr},
        {MHD_OPTION_NOTIFY_CONNECTION, reinterpret_cast<intptr_t>(&Impl::onConnection), this},
        {MHD_OPTION_CONNECTION_TIMEOUT, 60, nullptr},
        {MHD_OPTION_CONNECTION_MEMORY_LIMIT, 256 * 1024, nullptr},
    };
    if (side.tls) {
      options.push_back({MHD_OPTION_HTTPS_MEM_CERT, 0, const_cast<char*>(certificatePem.c_str())});
      options.push_back({MHD_OPTION_HTTPS_MEM_KEY, 0, const_cast<char*>(keyPem.c_str())});
    }
    options.push_back({MHD_OPTION_END, 0, nullptr});
    return MHD_start_daemon(flags, 0, nullptr, nullptr, &Impl::onRequest, &side, MHD_OPTION_ARRAY,
                            options.data(), MHD_OPTION_END);
  }

  // MHD closes the socket whether or not it takes it.
  void handOver(MHD_Daemon* daemon, const Arriving& arriving, const std::string& tunnelTarget = "") {
    if (!daemon) {
      close(arriving.fd);
      return;
    }
    if (!tunnelTarget.empty()) {
      std::lock_guard lock(mutex);
      tunnelTargets[arriving.fd] = tunnelTarget;
    }
    if (MHD_add_connection(daemon, arriving.fd, reinterpret_cast<const sockaddr*>(&arriving.peer),
                           sizeof arriving.peer) != MHD_YES &&
        !tunnelTarget.empty()) {
      std::lock_guard lock(mutex);
      tunnelTargets.erase(arriving.fd);
    }
  }

  // Reads what the connection has sent so far and passes it on once its kind is known. True when
  // the connection has left the front (handed over or closed).
  bool sort(Arriving& arriving) {
    char seen[4096];
    const ssize_t n = recv(arriving.fd, seen, sizeof seen, MSG_PEEK | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return false;
    if (n <= 0) {
      close(arriving.fd);
      return true;
    }
    constexpr char kTlsHandshake = 0x16;
    if (arriving.head.empty() && seen[0] == kTlsHandshake) {
      handOver(tlsDaemon, arriving);
      return true;
    }
    if (arriving.head.empty() && seen[0] != 'C') {
      handOver(plainDaemon, arriving);
      return true;
    }
    // A CONNECT head: read here up to its blank line and not a byte further, since what follows
    // belongs to the tunnel. Bytes before the blank line are taken at once, so that poll() does
    // not keep reporting data already seen.
    const std::size_t searchFrom = arriving.head.size() < 3 ? 0 : arriving.head.size() - 3;
    const std::string both = arriving.head + std::string(seen, static_cast<std::size_t>(n));
    const std::size_t blank = both.find("\r\n\r\n", searchFrom);
    const std::size_t take =
        blank == std::string::npos ? static_cast<std::size_t>(n) : blank + 4 - arriving.head.size();
    std::string taken(take, '\0');
    if (recv(arriving.fd, taken.data(), take, MSG_DONTWAIT) != static_cast<ssize_t>(take)) {
      close(arriving.fd);
      return true;
    }
    arriving.head += taken;
    if (blank == std::string::npos) {
      if (arriving.head.size() <= kLongestConnectHead) return false;
      SendAll(arriving.fd, "HTTP/1.1 431 Request Header Fields Too Large\r\nConnection: close\r\n\r\n");
      close(arriving.fd);
      return true;
    }
    const std::string line = arriving.head.substr(0, arriving.head.find("\r\n"));
    const std::size_t space = line.find(' ');
    const std::string method = line.substr(0, space);
    const std::string target =
        space == std::string::npos ? "" : line.substr(space + 1, line.find(' ', space + 1) - space - 1);
    if (method != "CONNECT" || target.empty()) {
      SendAll(arriving.fd,
              "HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
      close(arriving.fd);
    } else if (tunnelsRefused) {
      SendAll(arriving.fd, "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
      close(arriving.fd);
    } else if (!tlsDaemon) {
      SendAll(arriving.fd, "HTTP/1.1 501 Not Implemented\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
      close(arriving.fd);
    } else {
      SendAll(arriving.fd, "HTTP/1.1 200 Connection established\r\n\r\n");
      handOver(tlsDaemon, arriving, target);
    }
    return true;
  }

  void runFront() {
    std::vector<Arriving> arriving;
    std::vector<pollfd> watched;
    while (true) {
      watched.assign({{wakeFd, POLLIN, 0}, {listenFd, POLLIN, 0}});
      for (const Arriving& each : arriving) watched.push_back({each.fd, POLLIN, 0});
      if (poll(watched.data(), watched.size(), 1000) < 0 && errno != EINTR) break;
      if (watched[0].revents != 0) break;
      const auto now = std::chrono::steady_clock::now();
      // Newest first, so that erasing leaves the earlier entries where watched expects them.
      for (std::size_t i = arriving.size(); i-- > 0;) {
        bool gone = false;
        if (watched[i + 2].revents != 0) {
          gone = sort(arriving[i]);
        } else if (now - arriving[i].since > kArrivalLimit) {
          close(arriving[i].fd);  // a client that never said what it wanted
          gone = true;
        }
        if (gone) arriving.erase(arriving.begin() + static_cast<std::ptrdiff_t>(i));
      }
      if (watched[1].revents & POLLIN) {
        Arriving next;
        socklen_t length = sizeof next.peer;
        next.fd = accept4(listenFd, reinterpret_cast<sockaddr*>(&next.peer), &length, SOCK_CLOEXEC);
        next.since = now;
        if (next.fd >= 0) arriving.push_back(std::move(next));
      }
    }
    for (const Arriving& each : arriving) close(each.fd);
  }

  void closeFront() {
    if (front.joinable()) {
      const std::uint64_t one = 1;
      [[maybe_unused]] const ssize_t written = write(wakeFd, &one, sizeof one);
      front.join();
    }
    for (int* fd : {&listenFd, &wakeFd}) {
      if (*fd >= 0) close(*fd);
      *fd = -1;
    }
  }

  void stopDaemons() {
    for (MHD_Daemon** daemon : {&plainDaemon, &tlsDaemon}) {
      if (*daemon) MHD_stop_daemon(*daemon);
      *daemon = nullptr;
    }
    std::lock_guard lock(mutex);
    tunnelTargets.clear();
  }

  void listen(std::uint16_t wanted) {
    listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    wakeFd = eventfd(0, EFD_CLOEXEC);
    const int yes = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(wanted);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listenFd < 0 || wakeFd < 0 || setsockopt(listenFd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0 ||
        bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd, SOMAXCONN) != 0 ||
        getsockname(listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      closeFront();
      throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(wanted));
    }
    port = ntohs(address.sin_port);
  }
};

HttpServer::HttpServer(Handler handler) : impl_(std::make_unique<Impl>()) {
  impl_->handler = std::move(handler);
}

HttpServer::~HttpServer() { stop(); }

std::uint16_t HttpServer::start(std::uint16_t port) { return startTls("", "", port); }

std::uint16_t HttpServer::startTls(const std::string& certificatePem, const std::string& keyPem,
                                   std::uint16_t port) {
  if (impl_->front.joinable()) return impl_->port;
  {
    std::lock_guard lock(impl_->stopMutex);
    impl_->stopping = false;
  }
  impl_->connections = 0;
  impl_->plainDaemon = impl_->startDaemon(impl_->plainSide, "", "");
  if (impl_->plainDaemon && !certificatePem.empty())
    impl_->tlsDaemon = impl_->startDaemon(impl_->tlsSide, certificatePem, keyPem);
  if (!impl_->plainDaemon || (!certificatePem.empty() && !impl_->tlsDaemon)) {
    impl_->stopDaemons();
    throw std::runtime_error("cannot start the HTTP daemons");
  }
  try {
    impl_->listen(port);
  } catch (...) {
    impl_->stopDaemons();
    throw;
  }
  impl_->front = std::thread([impl = impl_.get()] { impl->runFront(); });
  return impl_->port;
}

void HttpServer::stop() {
  if (!impl_->front.joinable()) return;
  {
    std::lock_guard lock(impl_->stopMutex);
    impl_->stopping = true;
  }
  impl_->stopSignal.notify_all();
  impl_->closeFront();
  impl_->stopDaemons();
}

std::uint16_t HttpServer::port() const { return impl_->port; }

std::string HttpServer::proxyUrl() const { return "http://127.0.0.1:" + std::to_string(impl_->port); }

void HttpServer::addFault(const std::string& urlPart, Fault fault) {
  std::lock_guard lock(impl_->mutex);
  impl_->faults.emplace_back(urlPart, fault);
}

void HttpServer::clearFaults() {
  std::lock_guard lock(impl_->mutex);
  impl_->faults.clear();
}

void HttpServer::refuseTunnels(bool refused) { impl_->tunnelsRefused = refused; }

std::size_t HttpServer::connectionCount() const { return impl_->connections; }

std::size_t HttpServer::connectionsTo(const std::string& host) const {
  std::set<std::size_t> carriers;
  std::lock_guard lock(impl_->mutex);
  for (const Request& request : impl_->requests)
    if (request.host == host) carriers.insert(request.connection);
  return carriers.size();
}

std::vector<Request> HttpServer::requests() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requests;
}

void HttpServer::clearRequests() {
  std::lock_guard lock(impl_->mutex);
  impl_->requests.clear();
}

void HttpServer::setLogFile(const std::string& path) {
  std::lock_guard lock(impl_->mutex);
  impl_->logPath = path;
}

}  // namespace fotolun::standin
