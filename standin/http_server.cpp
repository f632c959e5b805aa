#include "standin/http_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <fstream>
#include <mutex>
#include <optional>
#include <stdexcept>

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

struct HttpServer::Impl {
  Handler handler;
  MHD_Daemon* daemon = nullptr;
  std::uint16_t port = 0;
  std::string scheme = "http://";
  std::atomic<std::size_t> connections{0};

  mutable std::mutex mutex;  // faults, requests, logPath
  std::vector<std::pair<std::string, Fault>> faults;
  std::vector<Request> requests;
  std::string logPath;

  std::mutex stopMutex;
  std::condition_variable stopSignal;
  bool stopping = false;

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

  Request describe(MHD_Connection* connection, const char* method, const PendingRequest& pending) const {
    Request request;
    request.method = method;
    request.time = std::chrono::system_clock::now();
    request.body = pending.body;
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
      authority = request.header("Host");
      if (authority.empty()) authority = "127.0.0.1:" + std::to_string(port);
      request.target = raw.empty() ? "/" : raw;
      request.url = scheme + authority + request.target;
    }
    request.host = HostOfAuthority(authority);
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

  static void onConnection(void* cls, MHD_Connection*, void**, MHD_ConnectionNotificationCode code) {
    if (code == MHD_CONNECTION_NOTIFY_STARTED) ++static_cast<Impl*>(cls)->connections;
  }

  static MHD_Result onRequest(void* cls, MHD_Connection* connection, const char*, const char* method,
                              const char*, const char* uploadData, size_t* uploadSize,
                              void** requestContext) {
    auto& self = *static_cast<Impl*>(cls);
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
    const Request request = self.describe(connection, method, *pending);
    self.record(request);
    return self.answer(connection, request);
  }
};

HttpServer::HttpServer(Handler handler) : impl_(std::make_unique<Impl>()) {
  impl_->handler = std::move(handler);
}

HttpServer::~HttpServer() { stop(); }

std::uint16_t HttpServer::start(std::uint16_t port) { return startTls("", "", port); }

std::uint16_t HttpServer::startTls(const std::string& certificatePem, const std::string& keyPem,
                                   std::uint16_t port) {
  if (impl_->daemon) return impl_->port;
  {
    std::lock_guard lock(impl_->stopMutex);
    impl_->stopping = false;
  }
  impl_->connections = 0;
  impl_->scheme = certificatePem.empty() ? "http://" : "https://";
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION | MHD_USE_POLL |
                         (certificatePem.empty() ? 0u : static_cast<unsigned>(MHD_USE_TLS));
  // MHD takes its options as a list; the TLS pair is only valid for a TLS daemon.
  std::vector<MHD_OptionItem> options = {
      {MHD_OPTION_SOCK_ADDR, 0, &address},
      {MHD_OPTION_URI_LOG_CALLBACK, reinterpret_cast<intptr_t>(&Impl::onUri), nullptr},
      {MHD_OPTION_NOTIFY_COMPLETED, reinterpret_cast<intptr_t>(&Impl::onCompleted), nullptr},
      {MHD_OPTION_NOTIFY_CONNECTION, reinterpret_cast<intptr_t>(&Impl::onConnection), impl_.get()},
      {MHD_OPTION_CONNECTION_TIMEOUT, 60, nullptr},
      {MHD_OPTION_CONNECTION_MEMORY_LIMIT, 256 * 1024, nullptr},
  };
  if (!certificatePem.empty()) {
    options.push_back({MHD_OPTION_HTTPS_MEM_CERT, 0, const_cast<char*>(certificatePem.c_str())});
    options.push_back({MHD_OPTION_HTTPS_MEM_KEY, 0, const_cast<char*>(keyPem.c_str())});
  }
  options.push_back({MHD_OPTION_END, 0, nullptr});
  impl_->daemon = MHD_start_daemon(flags, port, nullptr, nullptr, &Impl::onRequest, impl_.get(),
                                   MHD_OPTION_ARRAY, options.data(), MHD_OPTION_END);
  if (!impl_->daemon) throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port));
  const MHD_DaemonInfo* info = MHD_get_daemon_info(impl_->daemon, MHD_DAEMON_INFO_BIND_PORT);
  impl_->port = info ? info->port : port;
  return impl_->port;
}

void HttpServer::stop() {
  if (!impl_->daemon) return;
  {
    std::lock_guard lock(impl_->stopMutex);
    impl_->stopping = true;
  }
  impl_->stopSignal.notify_all();
  MHD_stop_daemon(impl_->daemon);
  impl_->daemon = nullptr;
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

std::size_t HttpServer::connectionCount() const { return impl_->connections; }

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
