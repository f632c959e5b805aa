#pragma once
// The whole stand-in for the photo service: sample data, the service's answers and the loopback
// server that carries them, reached by the program as its HTTP proxy (or directly, as an origin).
// https goes through the proxy's CONNECT tunnels, or straight to the port as an https origin,
// under a certificate from the stand-in's own authority: clients must be told to trust it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "standin/http_server.h"
#include "standin/photo_keys.h"
#include "standin/picture_cache.h"
#include "standin/qr_logins.h"
#include "standin/sample_data.h"
#include "standin/sign_in_cookies.h"
#include "standin/version_page.h"

namespace fotolun::standin {

struct StandinOptions {
  std::uint64_t seed = 1;
  // Must match the program's static-image host, or no album looks protected or empty.
  std::string staticImageHost = "imgcache.qq.com";
  std::string makerHost = "fotolun.example.org";  // the host of the program's update page
  std::string latestVersion = "1.4";
  // The endpoint families served; one switched off answers 404 (the old one also on GetRoute).
  bool classicFamily = true;
  bool currentFamily = true;
  // Albums a page of the https album list holds at most (the service gives 30).
  int currentAlbumPage = 30;
  BenchAlbum bench = {};  // an extra account with one album of that many photos, for benchmarks
};

class Standin {
 public:
  explicit Standin(std::uint64_t seed = 1);
  explicit Standin(const StandinOptions& options);
  ~Standin();
  Standin(const Standin&) = delete;
  Standin& operator=(const Standin&) = delete;

  std::uint16_t start(std::uint16_t port = 0);  // 127.0.0.1
  void stop();
  // "http://127.0.0.1:<port>": the program's proxy.
  std::string proxyUrl() const;

  // The authority that signed the stand-in's certificate (PEM), and the same written to a file
  // for the program's CA file setting. writeCertificateAuthority throws when it cannot write.
  static std::string certificateAuthorityPem();
  static void writeCertificateAuthority(const std::string& path);
  HttpServer& server();  // faults, request log
  // The QR sign-in: tests play the phone with scan, confirm, refuse and expire.
  QrLogins& qrLogins();
  const SampleData& data() const;

  // The document.cookie text the browser shows after signing in as qq, for tests without a browser.
  std::string signInCookieText(const std::string& qq) const;
  std::string signInCookieText(const std::string& qq, CookieLayout layout) const;
  // The same text after also answering a protected album's question rightly.
  std::string withAlbumPass(const std::string& cookieText, const std::string& qq,
                            const std::string& albumId) const;

  // Exact bytes served at a photo or video address (as in a listing, "\/" already unescaped), ""
  // if none.
  std::string photoBytes(const std::string& url) const;

  // Adds count photos to the end of an album while the stand-in serves, as its owner uploading
  // between two runs would; false when there is no such album. Call it from the thread that reads
  // data(): only the request threads are kept out while the album grows.
  bool growAlbum(const std::string& qq, const std::string& albumId, int count);
  bool growGroupAlbum(const std::string& group, const std::string& albumId, int count);
  // Puts count posts (one or two pictures each) before all of qq's feed, newer than every post
  // there, as growAlbum does; false when there is no such account.
  bool addFeedPosts(const std::string& qq, int count);

  // The maker's update page names this version.
  void setLatestVersion(std::string version);

  // The photo keys today's photo lists hand out (photo_keys.h).
  const PhotoKeys& photoKeys() const { return photoKeys_; }

  // Requests logged so far that carried a Cookie header to a host outside qq.com and qpic.cn.
  std::vector<Request> requestsLeakingCookies() const;

 private:
  SampleData data_;
  mutable PictureCache pictures_;
  VersionPage version_;
  QrLogins qrLogins_;
  PhotoKeys photoKeys_;
  std::unique_ptr<HttpServer> server_;
};

}  // namespace fotolun::standin
