#pragma once
// The service's cookies taken from a Firefox profile, for users signed in there: no export step.
#include <string>

namespace fotolun {

struct FirefoxProfileResult {
  std::string folder;  // UTF-8
  std::string error;
};

// The folder Firefox keeps its own folder in: the home folder on POSIX (~/.mozilla/firefox), the
// roaming application data on Windows (%APPDATA%\Mozilla\Firefox).
std::string firefoxHome();

// The profile folder that which names under home (UTF-8, as firefoxHome gives it): "" for the one
// Firefox starts with, a profile's name or folder name from profiles.ini, or a folder path
// (holding a "/", or on Windows a "\\").
FirefoxProfileResult findFirefoxProfile(const std::string& home, const std::string& which);

struct FirefoxCookiesResult {
  std::string cookiesTxt;  // the qq.com and qpic.cn cookies, as a Netscape cookies.txt
  std::string error;
};

// Reads the profile's cookies.sqlite through a copy (with its write-ahead log), read-only, so a
// running Firefox, which keeps the database locked, neither blocks the read nor sees it.
FirefoxCookiesResult readFirefoxCookies(const std::string& profileFolder);

}  // namespace fotolun
