#include "standin/standin.h"

#include <fstream>
#include <stdexcept>

#include "standin/service_handler.h"
#include "standin/session_check.h"
#include "standin/test_authority.h"
#include "standin/video_bytes.h"

namespace fotolun::standin {
namespace {

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Loopback counts as the service: it is the stand-in reached as an origin.
bool IsServiceDomain(const std::string& host) {
  return host == "127.0.0.1" || host == "localhost" || host == "qq.com" || EndsWith(host, ".qq.com") ||
         host == "qpic.cn" || EndsWith(host, ".qpic.cn");
}

SampleHosts HostsFor(const StandinOptions& options) {
  SampleHosts hosts;
  hosts.staticImage = options.staticImageHost;
  return hosts;
}

}  // namespace

Standin::Standin(std::uint64_t seed) : Standin(StandinOptions{.seed = seed}) {}

Standin::Standin(const StandinOptions& options)
    : data_(options.seed, HostsFor(options), options.bench),
      pictures_(data_),
      version_(options.makerHost, options.latestVersion),
      qrLogins_(data_),
      photoKeys_(options.seed),
      server_(std::make_unique<HttpServer>(
          ServiceHandler(data_, pictures_, version_, qrLogins_, photoKeys_,
                         {options.classicFamily, options.currentFamily, options.currentAlbumPage}))) {}

Standin::~Standin() { server_->stop(); }

std::uint16_t Standin::start(std::uint16_t port) {
  return server_->startTls(ServerCertificatePem(), ServerKeyPem(), port);
}
void Standin::stop() { server_->stop(); }
std::string Standin::proxyUrl() const { return server_->proxyUrl(); }
std::string Standin::certificateAuthorityPem() { return TestAuthorityPem(); }

void Standin::writeCertificateAuthority(const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << TestAuthorityPem();
  if (!file.flush()) throw std::runtime_error("cannot write " + path);
}

HttpServer& Standin::server() { return *server_; }
QrLogins& Standin::qrLogins() { return qrLogins_; }
const SampleData& Standin::data() const { return data_; }

std::string Standin::signInCookieText(const std::string& qq) const {
  return signInCookieText(qq, CookieLayout::Inside);
}

std::string Standin::signInCookieText(const std::string& qq, CookieLayout layout) const {
  return DocumentCookieText(SignInCookies(data_.seed(), qq, layout));
}

std::string Standin::withAlbumPass(const std::string& cookieText, const std::string& qq,
                                   const std::string& albumId) const {
  return cookieText + "; " + AlbumPassCookieName(albumId) + "=" + AlbumPassValue(data_, qq, albumId);
}

std::string Standin::photoBytes(const std::string& url) const {
  const auto lock = data_.readLock();
  if (const VideoSource* video = data_.videoAt(url)) return MakeVideo(*video, data_.seed());
  const PictureSource* source = data_.pictureAt(url);
  return source == nullptr ? std::string() : pictures_.bytes(*source);
}

bool Standin::growAlbum(const std::string& qq, const std::string& albumId, int count) {
  return data_.growPersonalAlbum(qq, albumId, count);
}

bool Standin::growGroupAlbum(const std::string& group, const std::string& albumId, int count) {
  return data_.growGroupAlbum(group, albumId, count);
}

bool Standin::addFeedPosts(const std::string& qq, int count) { return data_.addFeedPosts(qq, count); }

void Standin::setLatestVersion(std::string version) { version_.setLatestVersion(std::move(version)); }

std::vector<Request> Standin::requestsLeakingCookies() const {
  std::vector<Request> leaks;
  for (Request& request : server_->requests()) {
    if (!request.header("Cookie").empty() && !IsServiceDomain(request.host))
      leaks.push_back(std::move(request));
  }
  return leaks;
}

}  // namespace fotolun::standin
