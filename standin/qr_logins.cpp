#include "standin/qr_logins.h"

#include <png.h>
#include <qrencode.h>

#include <memory>
#include <vector>

#include "standin/derived_token.h"
#include "standin/replies.h"
#include "standin/sample_data.h"
#include "standin/session_check.h"
#include "standin/sign_in_cookies.h"

namespace fotolun::standin {
namespace {

constexpr int kModulePixels = 4;
constexpr int kQuietModules = 4;

std::uint32_t Token(std::string_view qrsig) {
  std::uint32_t hash = 0;
  for (unsigned char c : qrsig) hash += (hash << 5) + c;
  return hash & 0x7FFFFFFF;
}

Response PollReply(int code, const std::string& url, const std::string& message) {
  return TextReply("ptuiCB('" + std::to_string(code) + "','0','" + url + "','0','" + message + "', '')\r\n");
}

void AppendPng(png_structp, png_bytep, png_size_t);

struct PngSink {
  std::string bytes;
};

void AppendPng(png_structp png, png_bytep data, png_size_t length) {
  static_cast<PngSink*>(png_get_io_ptr(png))->bytes.append(reinterpret_cast<const char*>(data), length);
}

}  // namespace

std::string QrPng(const std::string& text) {
  std::unique_ptr<QRcode, void (*)(QRcode*)> code(
      QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), QRcode_free);
  if (!code) return "";
  const int side = (code->width + 2 * kQuietModules) * kModulePixels;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  PngSink sink;
  std::vector<png_byte> row(static_cast<std::size_t>(side));
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return "";
  }
  png_set_write_fn(png, &sink, AppendPng, nullptr);
  png_set_IHDR(png, info, side, side, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < side; ++y) {
    const int my = y / kModulePixels - kQuietModules;
    for (int x = 0; x < side; ++x) {
      const int mx = x / kModulePixels - kQuietModules;
      const bool dark = mx >= 0 && my >= 0 && mx < code->width && my < code->width &&
                        (code->data[my * code->width + mx] & 1) != 0;
      row[static_cast<std::size_t>(x)] = dark ? 0 : 255;
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return sink.bytes;
}

QrLogins::Code* QrLogins::find(const std::string& which) {
  auto at = codes_.find(which == "latest" ? latest_ : which);
  return at == codes_.end() ? nullptr : &at->second;
}

bool QrLogins::scan(const std::string& which) {
  std::lock_guard lock(mutex_);
  Code* code = find(which);
  if (code == nullptr || code->state != State::Waiting) return false;
  code->state = State::Scanned;
  return true;
}

bool QrLogins::confirm(const std::string& which, const std::string& qq, bool withSession) {
  std::lock_guard lock(mutex_);
  Code* code = find(which);
  if (code == nullptr || (code->state != State::Waiting && code->state != State::Scanned)) return false;
  code->state = State::Confirmed;
  code->qq = qq;
  code->withSession = withSession;
  return true;
}

bool QrLogins::refuse(const std::string& which) {
  std::lock_guard lock(mutex_);
  Code* code = find(which);
  if (code == nullptr || (code->state != State::Waiting && code->state != State::Scanned)) return false;
  code->state = State::Refused;
  return true;
}

bool QrLogins::expire(const std::string& which) {
  std::lock_guard lock(mutex_);
  Code* code = find(which);
  if (code == nullptr || (code->state != State::Waiting && code->state != State::Scanned)) return false;
  code->state = State::Expired;
  return true;
}

int QrLogins::codesHandedOut() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(codes_.size());
}

void QrLogins::setAutoConfirm(const std::string& qq) {
  std::lock_guard lock(mutex_);
  autoConfirm_ = qq;
}

bool QrLogins::serves(const Request& request) const {
  return request.path == "/cgi-bin/xlogin" || request.path == "/ptqrshow" || request.path == "/ptqrlogin" ||
         request.path == "/check_sig";
}

Response QrLogins::reply(const Request& request) {
  std::lock_guard lock(mutex_);
  const std::uint64_t seed = data_.seed();
  if (request.path == "/cgi-bin/xlogin") {
    Response page = HtmlPage("<!DOCTYPE html>\n<html><body>QQ登录</body></html>\n");
    page.headers.emplace_back(
        "Set-Cookie",
        SetCookieValue({"pt_login_sig", DerivedToken(seed, {"login_sig", std::to_string(counter_++)}, 64)},
                       request.host));
    return page;
  }
  if (request.path == "/ptqrshow") {
    const std::string qrsig = DerivedToken(seed, {"qrsig", std::to_string(counter_++)}, 56);
    codes_[qrsig] = Code{};
    latest_ = qrsig;
    Response picture = BytesReply(QrPng("https://ssl.ptlogin2.qq.com/scan?k=" + qrsig), "image/png");
    picture.headers.emplace_back("Set-Cookie", SetCookieValue({"qrsig", qrsig}, request.host));
    return picture;
  }
  if (request.path == "/ptqrlogin") {
    const std::string qrsig = RequestCookie(request, "qrsig").value_or("");
    auto at = codes_.find(qrsig);
    if (at == codes_.end() || request.query("ptqrtoken") != std::to_string(Token(qrsig)) ||
        RequestCookie(request, "pt_login_sig").value_or("") != request.query("login_sig"))
      return PollReply(65, "", "二维码已失效。(4013)");
    Code& code = at->second;
    if (!autoConfirm_.empty() && code.state == State::Scanned) {
      code.state = State::Confirmed;
      code.qq = autoConfirm_;
    } else if (!autoConfirm_.empty() && code.state == State::Waiting) {
      code.state = State::Scanned;
    }
    switch (code.state) {
      case State::Waiting:
        return PollReply(66, "", "二维码未失效。(3203)");
      case State::Scanned:
        return PollReply(67, "", "二维码认证中。(1006)");
      case State::Refused:
        return PollReply(68, "", "本次登录已被拒绝，请重新扫描二维码，并在手机上确认。");
      case State::Expired:
      case State::Used:
        return PollReply(65, "", "二维码已失效。(4013)");
      case State::Confirmed:
        break;
    }
    code.state = State::Used;
    code.ticket = DerivedToken(seed, {"ptsigx", qrsig}, 32);
    tickets_[code.ticket] = {code.qq, code.withSession};
    Response done =
        PollReply(0,
                  "https://ptlogin2.qzone.qq.com/check_sig?pttype=1&uin=" + code.qq +
                      "&service=ptqrlogin&nodirect=0&ptsigx=" + code.ticket +
                      "&s_url=https%3A%2F%2Fqzs.qq.com%2Fqzone%2Fv5%2Floginsucc.html%3Fpara%3Dizone"
                      "&f_url=&ptlang=2052&ptredirect=100&aid=549000912&daid=5&j_later=0&low_login_"
                      "hour=0&regmaster=0&pt_login_type=3&pt_aid=0&pt_aaid=16&pt_light=0&pt_3rd_"
                      "aid=0",
                  "登录成功！");
    for (const Cookie& cookie : SignInCookies(seed, code.qq, CookieLayout::Inside)) {
      if (cookie.name == "uin" || cookie.name == "ptcz" || cookie.name == "RK")
        done.headers.emplace_back("Set-Cookie", SetCookieValue(cookie, request.host));
    }
    return done;
  }
  // check_sig: the ticket is good once.
  auto at = tickets_.find(request.query("ptsigx"));
  if (at == tickets_.end()) return PollReply(65, "", "登录已失效");
  const Ticket ticket = at->second;
  tickets_.erase(at);
  Response redirect;
  redirect.status = 302;
  redirect.headers.emplace_back("Location", "https://qzs.qq.com/qzone/v5/loginsucc.html?para=izone");
  for (const Cookie& cookie : SignInCookies(seed, ticket.qq, CookieLayout::Inside)) {
    if (!ticket.withSession && (cookie.name == "skey" || cookie.name == "p_skey")) continue;
    redirect.headers.emplace_back("Set-Cookie", SetCookieValue(cookie, request.host));
  }
  return redirect;
}

}  // namespace fotolun::standin
