#include "session/qr_sign_in.h"

#include <random>
#include <thread>
#include <vector>

#include "net/http_clients.h"

namespace fotolun {
namespace {

constexpr const char* kAppId = "549000912";
constexpr const char* kDoneUrl = "https://qzs.qq.com/qzone/v5/loginsucc.html?para=izone";
constexpr const char* kDoneUrlEncoded =
    "https%3A%2F%2Fqzs.qq.com%2Fqzone%2Fv5%2Floginsucc.html%3Fpara%3Dizone";

// The value of the cookie of exactly that name in a "name=value; name=value" text, "" without one.
std::string CookieValue(std::string_view cookies, std::string_view name) {
  while (!cookies.empty()) {
    std::size_t semi = cookies.find(';');
    std::string_view item = cookies.substr(0, semi);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    if (item.size() > name.size() && item.substr(0, name.size()) == name && item[name.size()] == '=')
      return std::string(item.substr(name.size() + 1));
    if (semi == std::string_view::npos) break;
    cookies.remove_prefix(semi + 1);
  }
  return "";
}

std::string RandomFraction() {
  static thread_local std::mt19937_64 generator{std::random_device{}()};
  return std::to_string(std::uniform_real_distribution<double>(0, 1)(generator));
}

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

struct Flow {
  const QrSignInSettings& settings;
  Text cookies;  // everything the sign-in set so far

  ByteBuffer get(const std::string& url, bool noRedirect = false) {
    Text set;
    return FetchUrl(url, 0, "", &cookies, &set, nullptr, nullptr, noRedirect, nullptr, settings.proxy,
                    settings.caFile);
  }
};

}  // namespace

std::uint32_t QrToken(std::string_view qrsig) {
  std::uint32_t hash = 0;
  for (unsigned char c : qrsig) hash += (hash << 5) + c;
  return hash & 0x7FFFFFFF;
}

std::optional<QrPollReply> ParseQrPollReply(std::string_view body) {
  const std::size_t open = body.find("ptuiCB(");
  if (open == std::string_view::npos) return std::nullopt;
  std::vector<std::string> fields;
  std::size_t at = open + 7;
  while (at < body.size() && body[at] != ')') {
    if (body[at] == ' ' || body[at] == ',') {
      ++at;
      continue;
    }
    if (body[at] != '\'') return std::nullopt;
    const std::size_t close = body.find('\'', at + 1);
    if (close == std::string_view::npos) return std::nullopt;
    fields.emplace_back(body.substr(at + 1, close - at - 1));
    at = close + 1;
  }
  if (at >= body.size() || fields.size() < 5 || fields[0].empty() ||
      fields[0].find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  QrPollReply reply;
  reply.code = std::stoi(fields[0]);
  reply.url = fields[2];
  reply.message = fields[4];
  if (fields.size() > 5) reply.nickname = fields[5];
  return reply;
}

QrSignInResult RunQrSignIn(const QrSignInSettings& settings,
                           const std::function<void(QrState, const ByteBuffer&)>& report) {
  const auto sleep =
      settings.sleep ? settings.sleep : [](std::chrono::milliseconds d) { std::this_thread::sleep_for(d); };
  const auto interrupted = [&] { return settings.interrupted && settings.interrupted(); };
  Flow flow{settings, ""};

  flow.get(std::string("https://xui.ptlogin2.qq.com/cgi-bin/xlogin?proxy_url=https://qzs.qq.com/qzone/v6/"
                       "portal/proxy.html&daid=5&hide_title_bar=1&low_login=0&qlogin_auto_login=1&no_"
                       "verifyimg=1&link_target=blank&appid=") +
           kAppId + "&style=22&target=self&s_url=" + kDoneUrl + "&pt_no_auth=0");
  const std::string loginSig = CookieValue(flow.cookies, "pt_login_sig");
  if (loginSig.empty()) return {false, "", "the sign-in page set no pt_login_sig cookie (no connection?)"};

  for (int code = 0; code < settings.maxCodes; ++code) {
    const ByteBuffer png = flow.get(std::string("https://ssl.ptlogin2.qq.com/ptqrshow?appid=") + kAppId +
                                    "&e=2&l=M&s=3&d=72&v=4&t=" + RandomFraction() + "&daid=5&pt_3rd_aid=0");
    const std::string qrsig = CookieValue(flow.cookies, "qrsig");
    if (png.empty() || qrsig.empty()) return {false, "", "the service sent no QR code"};
    report(QrState::NewCode, png);

    QrState last = QrState::NewCode;
    for (;;) {
      if (interrupted()) return {false, "", "stopped before the sign-in ended"};
      const ByteBuffer body =
          flow.get(std::string("https://ssl.ptlogin2.qq.com/ptqrlogin?u1=") + kDoneUrlEncoded +
                   "&ptqrtoken=" + std::to_string(QrToken(qrsig)) +
                   "&ptredirect=0&h=1&t=1&g=1&from_ui=1&ptlang=2052&action=0-0-" + std::to_string(NowMs()) +
                   "&js_ver=21010623&js_type=1&login_sig=" + loginSig + "&pt_uistyle=40&aid=" + kAppId +
                   "&daid=5&has_onekey=1");
      const std::optional<QrPollReply> reply = ParseQrPollReply(body);
      if (!reply) return {false, "", "the service's answer to the poll was not understood"};
      QrState state = QrState::Waiting;
      if (reply->code == 67) state = QrState::Scanned;
      if (reply->code == 65) state = QrState::Expired;
      if (reply->code == 0) state = QrState::Confirmed;
      if (reply->code == 68) state = QrState::Refused;
      if (state != last) report(state, "");
      last = state;
      if (state == QrState::Refused) return {false, "", "the sign-in was refused on the phone"};
      if (state == QrState::Expired) break;
      if (state == QrState::Confirmed) {
        if (reply->url.empty()) return {false, "", "the service confirmed the sign-in but gave no address"};
        flow.get(reply->url, true);
        if (CookieValue(flow.cookies, "skey").empty() || CookieValue(flow.cookies, "p_skey").empty())
          return {false, "", "the sign-in gave no skey or p_skey cookie: not signed in"};
        return {true, flow.cookies, ""};
      }
      sleep(settings.pollInterval);
    }
  }
  return {false, "", "every QR code expired before it was confirmed"};
}

}  // namespace fotolun
