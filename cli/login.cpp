#include "cli/login.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "cli/qr_text.h"
#include "platform/path.h"
#include "platform/process.h"
#include "session/cookie_file.h"
#include "session/qr_sign_in.h"
#include "text/encoding.h"

namespace fotolun::cli {
namespace {

// Removed when the sign-in ends: the code is of no use after it.
struct QrPicture {
  std::string path = platform::utf8OfPath(
      std::filesystem::temp_directory_path() /
      platform::pathFromUtf8("fotolun-qr-" + std::to_string(platform::processId()) + ".png"));
  ~QrPicture() {
    std::error_code ignored;
    std::filesystem::remove(platform::systemPath(path), ignored);
  }
};

std::string existingContent(const std::string& path) {
  std::ifstream in(platform::systemPath(path), std::ios::binary);
  std::ostringstream all;
  if (in) all << in.rdbuf();
  return all.str();
}

std::string uinNumber(const Text& cookies) {
  const std::string text = GbkToUtf8(cookies);
  std::size_t at = text.find("uin=o");
  while (at != std::string::npos && at != 0 && text[at - 1] != ' ' && text[at - 1] != ';')
    at = text.find("uin=o", at + 1);
  if (at == std::string::npos) return "";
  std::string digits = text.substr(
      at + 5, text.find(';', at) == std::string::npos ? std::string::npos : text.find(';', at) - at - 5);
  while (digits.size() > 1 && digits.front() == '0') digits.erase(0, 1);
  return digits;
}

}  // namespace

int runLogin(Terminal& terminal, const LoginSettings& settings, const std::function<bool()>& interrupted) {
  QrPicture picture;
  QrSignInSettings flow;
  flow.proxy = settings.proxy;
  flow.caFile = settings.caFile;
  flow.pollInterval = settings.pollInterval;
  flow.interrupted = interrupted;
  // Ctrl-C ends the wait between two polls at once, not after it.
  flow.sleep = [&](std::chrono::milliseconds wait) {
    const auto end = std::chrono::steady_clock::now() + wait;
    while (!interrupted() && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
          end - std::chrono::steady_clock::now(), std::chrono::milliseconds(50)));
  };
  const QrSignInResult result = RunQrSignIn(flow, [&](QrState state, const ByteBuffer& png) {
    switch (state) {
      case QrState::NewCode: {
        std::ofstream(platform::systemPath(picture.path), std::ios::binary | std::ios::trunc) << png;
        const std::optional<std::string> content = QrContentOfPng(png);
        const std::string drawn = content ? QrAsText(*content) : "";
        terminal.result(drawn.empty() ? "(the QR code could not be drawn here: open the picture below)\n"
                                      : drawn);
        terminal.result(
            "请用手机QQ扫描二维码 / Scan the QR code with the QQ app on your phone.\n"
            "The QR code as a picture: " +
            picture.path + "\n");
        break;
      }
      case QrState::Waiting:
        terminal.detail("等待扫描 / Waiting for the scan.\n");
        break;
      case QrState::Scanned:
        terminal.result("已扫描，请在手机上确认 / Scanned: confirm the sign-in on the phone.\n");
        break;
      case QrState::Expired:
        terminal.result("二维码已失效 / The QR code expired.\n");
        break;
      case QrState::Confirmed:
        terminal.result("已确认 / Confirmed on the phone.\n");
        break;
      case QrState::Refused:
        terminal.result("已拒绝 / The sign-in was refused on the phone.\n");
        break;
    }
  });
  if (!result.signedIn) {
    terminal.error("not signed in: " + result.error + "\n");
    return interrupted() ? 1 : 3;
  }
  std::string error;
  if (!writeCookieFile(settings.cookieFile,
                       cookiesTxtWith(existingContent(settings.cookieFile), result.cookies), &error)) {
    terminal.error(error + "\n");
    return 1;
  }
  terminal.result("登录成功 / Signed in as " + uinNumber(result.cookies) + "; the session is in " +
                  settings.cookieFile + "\n");
  return 0;
}

}  // namespace fotolun::cli
