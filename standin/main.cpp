// fotolun-standin: the stand-in photo service on loopback, for demos, manual runs and benchmarks.
#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "endpoints/service_hosts.h"
#include "standin/standin.h"

namespace {

constexpr const char* kUsage =
    "Usage: fotolun-standin [--port N] [--seed S] [--log FILE] [--ca-out FILE] [--qr-confirm QQ]\n"
    "                       [--families LIST]\n"
    "                       [--bench-album PHOTOS [--bench-photo-bytes N] [--bench-cookies FILE]\n"
    "                        [--bench-urls FILE]] [--latency-ms M] [--help]\n"
    "\n"
    "Starts the stand-in photo service on 127.0.0.1 and runs until Ctrl+C (SIGINT) or SIGTERM.\n"
    "It answers for every host of the service, so point the program at it as its HTTP proxy:\n"
    "  http_proxy=http://127.0.0.1:N fotolun-cli ...    or    fotolun-cli --proxy http://127.0.0.1:N ...\n"
    "https goes through the same proxy (CONNECT) or straight to the port, under a certificate from\n"
    "the stand-in's test authority: write it out with --ca-out and pass it with --ca-file (or\n"
    "FOTOLUN_CA_FILE); https_proxy then names the same URL as http_proxy.\n"
    "\n"
    "  --port N       listen on port N (default: a free port, printed at start)\n"
    "  --seed S       sample data seed (default 1); the same seed gives the same accounts and photos\n"
    "  --log FILE     append every request (method, URL, header lines) to FILE\n"
    "  --ca-out FILE  write the test authority's certificate (PEM) to FILE\n"
    "  --qr-confirm QQ  play the phone for fotolun-cli login: every QR code shown is scanned at its\n"
    "                 first poll and confirmed as QQ at the next\n"
    "  --families LIST  the endpoint families served: classic,current (default), current or\n"
    "                 classic; the other answers 404 (classic: the plain http album and group lists\n"
    "                 and GetRoute; current: the https-era /proxy/domain/... lists with videos)\n"
    "  --bench-album PHOTOS  add an account (10001000) with one album of PHOTOS photos, all from\n"
    "                 one host, for benchmarks\n"
    "  --bench-photo-bytes N  each of those photos is N bytes long (default 20480)\n"
    "  --bench-cookies FILE  write the signed-in cookie line of that account to FILE\n"
    "  --bench-urls FILE  write the album's photo addresses to FILE, one a line\n"
    "  --latency-ms M  answer every request M milliseconds late (a slow link)\n"
    "  --help         show this text\n"
    "SIGUSR1 prints how many connections the stand-in accepted so far, and how many of them\n"
    "carried requests for the benchmark album's photo host.\n"
    "\n"
    "FOTOLUN_STATIC_IMAGE_HOST, when set, names the host of the placeholder cover addresses,\n"
    "as it does for the program.\n";

bool ParseFamilies(const std::string& text, bool& classic, bool& current) {
  if (text != "classic,current" && text != "current,classic" && text != "current" && text != "classic")
    return false;
  classic = text.find("classic") != std::string::npos;
  current = text.find("current") != std::string::npos;
  return true;
}

bool ParseNumber(const char* text, unsigned long long max, unsigned long long& out) {
  char* end = nullptr;
  errno = 0;
  const unsigned long long value = std::strtoull(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value > max) return false;
  out = value;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  unsigned long long port = 0;
  unsigned long long seed = 1;
  std::string logFile;
  std::string caOut;
  std::string qrConfirm;
  bool classicFamily = true;
  bool currentFamily = true;
  unsigned long long benchPhotos = 0;
  unsigned long long benchBytes = 20 * 1024;
  unsigned long long latencyMs = 0;
  std::string benchCookies;
  std::string benchUrls;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (arg == "--port" && hasValue && ParseNumber(argv[i + 1], 65535, port)) {
      ++i;
    } else if (arg == "--seed" && hasValue && ParseNumber(argv[i + 1], ~0ull, seed)) {
      ++i;
    } else if (arg == "--bench-album" && hasValue && ParseNumber(argv[i + 1], 1000000, benchPhotos)) {
      ++i;
    } else if (arg == "--bench-photo-bytes" && hasValue && ParseNumber(argv[i + 1], 1ull << 30, benchBytes)) {
      ++i;
    } else if (arg == "--latency-ms" && hasValue && ParseNumber(argv[i + 1], 60000, latencyMs)) {
      ++i;
    } else if (arg == "--bench-cookies" && hasValue) {
      benchCookies = argv[++i];
    } else if (arg == "--bench-urls" && hasValue) {
      benchUrls = argv[++i];
    } else if (arg == "--qr-confirm" && hasValue) {
      qrConfirm = argv[++i];
    } else if (arg == "--families" && hasValue && ParseFamilies(argv[i + 1], classicFamily, currentFamily)) {
      ++i;
    } else if (arg == "--log" && hasValue) {
      logFile = argv[++i];
    } else if (arg == "--ca-out" && hasValue) {
      caOut = argv[++i];
    } else {
      std::cerr << "fotolun-standin: bad argument: " << arg << "\n\n" << kUsage;
      return 2;
    }
  }

  if (!caOut.empty()) {
    try {
      fotolun::standin::Standin::writeCertificateAuthority(caOut);
    } catch (const std::exception& error) {
      std::cerr << "fotolun-standin: " << error.what() << "\n";
      return 1;
    }
  }

  // Block the stop signals before any server thread exists, so that only sigwait below sees them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  fotolun::standin::StandinOptions options;
  options.seed = seed;
  options.classicFamily = classicFamily;
  options.currentFamily = currentFamily;
  const fotolun::ServiceHosts hosts = fotolun::serviceHostsFromEnvironment();
  options.staticImageHost = hosts.staticImage;
  options.bench = {static_cast<int>(benchPhotos), static_cast<std::size_t>(benchBytes)};
  fotolun::standin::Standin standin(options);
  if (!logFile.empty()) standin.server().setLogFile(logFile);
  standin.qrLogins().setAutoConfirm(qrConfirm);
  if (latencyMs > 0) {
    fotolun::standin::Fault slow;
    slow.kind = fotolun::standin::FaultKind::Delay;
    slow.delay = std::chrono::milliseconds(latencyMs);
    standin.server().addFault("", slow);
  }
  if (const auto* bench = standin.data().benchAccount()) {
    if (!benchCookies.empty()) {
      std::ofstream(benchCookies, std::ios::binary | std::ios::trunc)
          << standin.signInCookieText(bench->qq) << "\n";
    }
    if (!benchUrls.empty()) {
      std::ofstream urls(benchUrls, std::ios::binary | std::ios::trunc);
      for (const auto& photo : bench->albums.front().photos) urls << photo.url << "\n";
    }
  }
  try {
    standin.start(static_cast<std::uint16_t>(port));
  } catch (const std::exception& error) {
    std::cerr << "fotolun-standin: cannot start: " << error.what() << "\n";
    return 1;
  }

  const auto& data = standin.data();
  std::cout << "fotolun-standin listening; proxy: " << standin.proxyUrl() << "\n"
            << "Point the program at it:\n"
            << "  export http_proxy=" << standin.proxyUrl() << "\n"
            << "  or pass --proxy " << standin.proxyUrl() << "\n"
            << "For https also set https_proxy the same and trust the stand-in's authority"
            << (caOut.empty() ? " (--ca-out FILE writes it)" : ": --ca-file " + caOut) << "\n"
            << "Sign in at http://" << hosts.personalSpace << "/ (through the proxy).\n"
            << "Sample QQ numbers: " << data.ordinaryAccount().qq << " (albums), " << data.privateAccount().qq
            << " (private), " << data.accountWithoutAlbums().qq << " (no albums), "
            << data.accountWithBackslashTrailBytes().qq << " (names whose GBK bytes hold a backslash), "
            << data.classifiedAccount().qq << " (albums in classes), " << data.plainListAccount().qq
            << " (plain album list), " << data.videoAccount().qq << " (videos), " << data.feedAccount().qq
            << " (a feed of posts)\n"
            << "Sample groups: " << data.smallGroup().number << " (" << data.smallGroup().albums.size()
            << " albums), " << data.thousandAlbumGroup().number << " (1000 albums), "
            << data.largeGroup().number << " (2500 albums), " << data.videoGroup().number
            << " (a video and a closed album), " << data.closedGroup().number << " (not a member)\n"
            << "Ctrl+C stops it." << std::endl;

  int received = 0;
  const std::string& photoHost = data.hosts().photo.front();
  while (sigwait(&stopSignals, &received) == 0 && received == SIGUSR1) {
    std::cout << "connections " << standin.server().connectionCount() << "\n"
              << "photo-host-connections " << standin.server().connectionsTo(photoHost) << std::endl;
  }
  standin.stop();
  std::cout << "fotolun-standin stopped." << std::endl;
  return 0;
}
