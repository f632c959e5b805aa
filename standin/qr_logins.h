#pragma once
// The QR sign-in as the service runs it: codes handed out, what the phone did with each, and the
// sign-in address a confirmed code leads to. Tests play the phone through scan, confirm, refuse
// and expire; request threads and the test's thread reach it at once, so it locks itself.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "standin/http_server.h"

namespace fotolun::standin {

class SampleData;

class QrLogins {
 public:
  explicit QrLogins(const SampleData& data) : data_(data) {}

  // which: a qrsig, or "latest" for the code handed out last. False when there is no such code or
  // it is past that state (a code expires, or is confirmed, once).
  bool scan(const std::string& which);
  bool confirm(const std::string& which, const std::string& qq, bool withSession = true);
  bool refuse(const std::string& which);
  bool expire(const std::string& which);
  int codesHandedOut() const;
  // For manual runs: from now on each code is scanned at its first poll and confirmed as qq at
  // the next, as a phone at hand would. "" turns it off.
  void setAutoConfirm(const std::string& qq);

  // Whether the request is one of the sign-in's: /cgi-bin/xlogin, /ptqrshow, /ptqrlogin, /check_sig.
  bool serves(const Request& request) const;
  Response reply(const Request& request);

 private:
  enum class State { Waiting, Scanned, Confirmed, Refused, Expired, Used };
  struct Code {
    State state = State::Waiting;
    std::string qq;
    bool withSession = true;
    std::string ticket;  // ptsigx of the check_sig address
  };
  Code* find(const std::string& which);

  const SampleData& data_;
  mutable std::mutex mutex_;
  struct Ticket {
    std::string qq;
    bool withSession = true;
  };
  std::map<std::string, Code> codes_;      // by qrsig
  std::map<std::string, Ticket> tickets_;  // by ptsigx
  std::string latest_;
  std::uint64_t counter_ = 0;
  std::string autoConfirm_;
};

// A PNG of the QR code holding text, 4 pixels a module with a quiet zone, black on white.
std::string QrPng(const std::string& text);

}  // namespace fotolun::standin
