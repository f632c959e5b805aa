#include "session/firefox_cookies.h"

#include <sqlite3.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "platform/path.h"
#include "platform/process.h"
#include "platform/system.h"
#include "session/service_domains.h"

namespace fotolun {
namespace {

namespace fs = std::filesystem;

using Section = std::map<std::string, std::string>;

// profiles.ini: [Section] headers and key=value lines, in order.
std::vector<std::pair<std::string, Section>> iniSections(const std::string& text) {
  std::vector<std::pair<std::string, Section>> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      out.emplace_back(line.substr(1, line.size() - 2), Section{});
    } else if (const std::size_t eq = line.find('='); eq != std::string::npos && !out.empty()) {
      out.back().second[line.substr(0, eq)] = line.substr(eq + 1);
    }
  }
  return out;
}

std::string profileFolder(const fs::path& base, const Section& profile) {
  const auto path = profile.find("Path");
  if (path == profile.end()) return "";
  const auto relative = profile.find("IsRelative");
  return relative != profile.end() && relative->second == "0"
             ? path->second
             : platform::utf8OfPath(base / platform::pathFromUtf8(path->second));
}

// A temporary folder removed with its content, the user's alone: it holds the session.
struct Scratch {
  fs::path path;
  Scratch() {
    static std::atomic<unsigned> counter{0};
    std::error_code error;
    const fs::path temp = fs::temp_directory_path(error);
    for (int attempt = 0; !error && attempt < 100; ++attempt) {
      const fs::path candidate =
          temp / platform::pathFromUtf8("fotolun-firefox-" + std::to_string(platform::processId()) + "-" +
                                        std::to_string(counter.fetch_add(1)));
      if (!fs::create_directory(candidate, error)) continue;
      fs::permissions(candidate, fs::perms::owner_all, error);
      if (!error) path = candidate;
      break;
    }
  }
  ~Scratch() {
    std::error_code ignored;
    if (!path.empty()) fs::remove_all(path, ignored);
  }
};

}  // namespace

std::string firefoxHome() {
  return platform::environmentVariable(platform::kWindows ? "APPDATA" : "HOME").value_or("");
}

FirefoxProfileResult findFirefoxProfile(const std::string& home, const std::string& which) {
  if (which.find('/') != std::string::npos || (platform::kWindows && which.find('\\') != std::string::npos))
    return {which, ""};
  const fs::path base =
      platform::pathFromUtf8(home) /
      (platform::kWindows ? fs::path("Mozilla") / "Firefox" : fs::path(".mozilla") / "firefox");
  const std::string profilesIni = platform::utf8OfPath(base / "profiles.ini");
  std::ifstream in(platform::systemPath(base / "profiles.ini"));
  if (!in) return {"", "no Firefox profiles: cannot read " + profilesIni};
  std::ostringstream all;
  all << in.rdbuf();
  const auto sections = iniSections(all.str());
  std::string chosen;
  for (const auto& [name, section] : sections) {
    if (name.rfind("Profile", 0) != 0) continue;
    const std::string folder = profileFolder(base, section);
    if (folder.empty()) continue;
    if (!which.empty()) {
      const auto profileName = section.find("Name");
      if ((profileName != section.end() && profileName->second == which) ||
          platform::utf8OfPath(platform::pathFromUtf8(folder).filename()) == which)
        return {folder, ""};
      continue;
    }
    const auto isDefault = section.find("Default");
    if (chosen.empty() || (isDefault != section.end() && isDefault->second == "1")) chosen = folder;
  }
  // The profile an installation starts with outranks the one marked default for older versions.
  for (const auto& [name, section] : sections) {
    const auto installDefault = section.find("Default");
    if (which.empty() && name.rfind("Install", 0) == 0 && installDefault != section.end())
      return {platform::utf8OfPath(base / platform::pathFromUtf8(installDefault->second)), ""};
  }
  if (!which.empty()) return {"", "no Firefox profile named " + which + " in " + profilesIni};
  if (chosen.empty()) return {"", "no Firefox profile in " + profilesIni};
  return {chosen, ""};
}

FirefoxCookiesResult readFirefoxCookies(const std::string& profileFolder) {
  const fs::path database = platform::systemPath(platform::pathFromUtf8(profileFolder) / "cookies.sqlite");
  const std::string databaseName =
      platform::utf8OfPath(platform::pathFromUtf8(profileFolder) / "cookies.sqlite");
  if (!fs::is_regular_file(database)) return {"", "no cookie database at " + databaseName};
  Scratch scratch;
  if (scratch.path.empty()) return {"", "cannot make a temporary folder for the cookie database"};
  std::error_code error;
  const fs::path copy = scratch.path / "cookies.sqlite";
  fs::copy_file(database, copy, error);
  if (error) return {"", "cannot copy " + databaseName + ": " + error.message()};
  // Recent changes live in the write-ahead log until Firefox folds them in.
  if (fs::path log = fs::path(database) += "-wal"; fs::is_regular_file(log)) {
    fs::copy_file(log, fs::path(copy) += "-wal", error);
    if (error) return {"", "cannot copy " + databaseName + "-wal: " + error.message()};
  }

  sqlite3* raw = nullptr;
  const int opened = sqlite3_open_v2(platform::utf8OfPath(copy).c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
  if (opened != SQLITE_OK) return {"", databaseName + ": " + sqlite3_errmsg(raw)};
  sqlite3_stmt* rawStatement = nullptr;
  if (sqlite3_prepare_v2(db.get(),
                         "SELECT host, path, isSecure, expiry, name, value, isHttpOnly FROM moz_cookies "
                         "ORDER BY creationTime DESC",
                         -1, &rawStatement, nullptr) != SQLITE_OK)
    return {"", databaseName + " is not a Firefox cookie database: " + sqlite3_errmsg(db.get())};
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(rawStatement, sqlite3_finalize);

  const auto text = [&](int column) {
    const unsigned char* value = sqlite3_column_text(statement.get(), column);
    return value == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(value));
  };
  // Newest first: of two cookies of one name the reader takes the first, the one set last.
  std::string out = "# Netscape HTTP Cookie File\n";
  bool any = false;
  int step;
  while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
    const std::string host = text(0);
    const std::string name = text(4);
    // Tabs and line breaks would break the line apart; no cookie of the service holds them.
    const std::string value = text(5);
    if (!isServiceDomain(host) || name.empty() || (name + value).find_first_of("\t\r\n") != std::string::npos)
      continue;
    out += (sqlite3_column_int(statement.get(), 6) != 0 ? "#HttpOnly_" : "") + host + "\t" +
           (host.front() == '.' ? "TRUE" : "FALSE") + "\t" + text(1) + "\t" +
           (sqlite3_column_int(statement.get(), 2) != 0 ? "TRUE" : "FALSE") + "\t" +
           std::to_string(sqlite3_column_int64(statement.get(), 3)) + "\t" + name + "\t" + value + "\n";
    any = true;
  }
  if (step != SQLITE_DONE) return {"", databaseName + ": " + sqlite3_errmsg(db.get())};
  if (!any) return {"", "the Firefox profile " + profileFolder + " holds no cookie of qq.com or qpic.cn"};
  return {out, ""};
}

}  // namespace fotolun
