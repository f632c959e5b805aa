#pragma once
// Signing in without a browser: the service shows a QR code, the phone app scans and confirms it,
// and the sign-in's redirect leaves the session's cookies. The caller sees each state and draws
// the code; time passes through sleep, so tests need not wait.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "text/gbk_text.h"

namespace fotolun {

// The token the poll sends for a qrsig cookie, so the service can find the code without it.
std::uint32_t QrToken(std::string_view qrsig);

// One answer of the poll: ptuiCB('code','x','url','x','message','nickname').
struct QrPollReply {
  int code = -1;
  std::string url;
  std::string message;
  std::string nickname;
};
// The quoted fields as written (a message may hold commas); nullopt when it is no such call.
std::optional<QrPollReply> ParseQrPollReply(std::string_view body);

enum class QrState { NewCode, Waiting, Scanned, Expired, Confirmed, Refused };

struct QrSignInSettings {
  Text proxy;
  Text caFile;
  std::chrono::milliseconds pollInterval{2500};
  int maxCodes = 3;                                      // expired codes replaced before giving up
  std::function<void(std::chrono::milliseconds)> sleep;  // default: the thread sleeps
  std::function<bool()> interrupted;                     // polled between requests
};

struct QrSignInResult {
  bool signedIn = false;
  Text cookies;       // "name=value; ..." of the whole session when signed in
  std::string error;  // UTF-8, why not signed in
};

// Runs the sign-in to its end. report is called on every change of state; with NewCode, png holds
// the picture of the code to show.
QrSignInResult RunQrSignIn(const QrSignInSettings& settings,
                           const std::function<void(QrState state, const ByteBuffer& png)>& report);

}  // namespace fotolun
