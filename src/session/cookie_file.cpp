#include "session/cookie_file.h"

#include <filesystem>
#include <set>
#include <vector>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/process.h"
#include "session/service_domains.h"
#include "text/encoding.h"

namespace fotolun {

namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> lines(std::string_view content) {
  std::vector<std::string_view> out;
  while (!content.empty()) {
    std::size_t end = content.find('\n');
    out.push_back(content.substr(0, end));
    if (end == std::string_view::npos) break;
    content.remove_prefix(end + 1);
  }
  for (auto& line : out)
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return out;
}

std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> out;
  for (;;) {
    std::size_t tab = line.find('\t');
    out.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return out;
    line.remove_prefix(tab + 1);
  }
}

std::string lineError(std::size_t number, std::string_view why) {
  return "line " + std::to_string(number) + ": " + std::string(why);
}

// A document-cookie line: name=value items separated by ";".
bool looksLikeCookieLine(std::string_view line) {
  if (line.find('\t') != std::string_view::npos) return false;
  std::size_t eq = line.find('=');
  return eq != std::string_view::npos && eq > 0 &&
         trimmed(line.substr(0, eq)).find(' ') == std::string_view::npos;
}

}  // namespace

CookieFileResult readCookieFileText(std::string_view content) {
  if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
  // Texts end at a NUL byte; a file holding one is no cookie file (and would lose its cookies).
  if (content.find('\0') != std::string_view::npos) return {"", "the file is not text: it holds a NUL byte"};
  const std::vector<std::string_view> all = lines(content);

  std::vector<std::pair<std::size_t, std::string_view>> meaningful;  // (line number, text)
  for (std::size_t i = 0; i < all.size(); ++i) {
    std::string_view line = trimmed(all[i]);
    if (line.empty()) continue;
    if (line.front() == '#' && line.substr(0, 10) != "#HttpOnly_") continue;
    meaningful.emplace_back(i + 1, line);
  }
  if (meaningful.empty()) return {"", "the file holds no cookie"};

  // One document-cookie line.
  if (meaningful.size() == 1 && looksLikeCookieLine(meaningful.front().second)) {
    Text text;
    for (std::string_view rest = meaningful.front().second; !rest.empty();) {
      std::size_t semi = rest.find(';');
      std::string_view item = trimmed(rest.substr(0, semi));
      // An item without a name ("=x") is no cookie.
      if (!item.empty() && item.front() != '=') text += (text.empty() ? "" : "; ") + std::string(item);
      if (semi == std::string_view::npos) break;
      rest.remove_prefix(semi + 1);
    }
    if (text.empty()) return {"", lineError(meaningful.front().first, "no cookie on the line")};
    return {Utf8ToGbk(text), ""};
  }

  // cookies.txt: domain, subdomains flag, path, secure, expiry, name, value.
  Text text;
  std::set<std::string, std::less<>> names;
  for (const auto& [number, raw] : meaningful) {
    std::string_view line = raw;
    if (line.substr(0, 10) == "#HttpOnly_") line.remove_prefix(10);
    std::vector<std::string_view> f = fields(line);
    if (f.size() != 7 && f.size() != 6)
      return {"", lineError(number,
                            "neither a cookies.txt line (7 fields separated by tabs) nor a "
                            "document-cookie line (name=value; name=value)")};
    std::string_view name = f[5];
    std::string_view value = f.size() == 7 ? f[6] : std::string_view();
    if (name.empty()) return {"", lineError(number, "a cookie without a name")};
    if (!isServiceDomain(f[0]) || names.count(name) != 0) continue;
    names.emplace(name);
    text += (text.empty() ? "" : "; ") + std::string(name) + "=" + std::string(value);
  }
  if (text.empty()) return {"", "the file holds no cookie of qq.com or qpic.cn"};
  return {Utf8ToGbk(text), ""};
}

bool isCookiesTxt(std::string_view content) {
  if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
  for (std::string_view line : lines(content)) {
    line = trimmed(line);
    if (line.empty() || (line.front() == '#' && line.substr(0, 10) != "#HttpOnly_")) continue;
    return !looksLikeCookieLine(line);
  }
  return false;
}

std::string cookiesTxtWith(std::string_view existing, const Text& cookies) {
  std::vector<std::pair<std::string, std::string>> fresh;  // (name, value), UTF-8
  const std::string utf8 = GbkToUtf8(cookies);
  for (std::string_view rest = utf8; !rest.empty();) {
    const std::size_t semi = rest.find(';');
    const std::string_view item = trimmed(rest.substr(0, semi));
    const std::size_t eq = item.find('=');
    if (eq != std::string_view::npos && eq > 0)
      fresh.emplace_back(std::string(trimmed(item.substr(0, eq))), std::string(item.substr(eq + 1)));
    if (semi == std::string_view::npos) break;
    rest.remove_prefix(semi + 1);
  }
  const auto freshValue = [&](std::string_view name) -> const std::string* {
    for (const auto& [n, v] : fresh)
      if (n == name) return &v;
    return nullptr;
  };

  // A service line keeps its domain, flags and expiry and takes the session's value; one the
  // session no longer holds is stale and goes. Every other line stays as it was.
  std::string out = "# Netscape HTTP Cookie File\n";
  std::set<std::string, std::less<>> kept;
  if (isCookiesTxt(existing)) {
    if (existing.substr(0, 3) == "\xEF\xBB\xBF") existing.remove_prefix(3);
    for (std::string_view line : lines(existing)) {
      std::string_view bare = trimmed(line);
      if (bare == "# Netscape HTTP Cookie File") continue;
      const bool httpOnly = bare.substr(0, 10) == "#HttpOnly_";
      if (httpOnly) bare.remove_prefix(10);
      const std::vector<std::string_view> f = fields(bare);
      if (bare.empty() || (bare.front() == '#' && !httpOnly) || f.size() < 6 || !isServiceDomain(f[0])) {
        out += std::string(line) + "\n";
        continue;
      }
      const std::string* value = freshValue(f[5]);
      if (value == nullptr) continue;
      std::string rebuilt = httpOnly ? "#HttpOnly_" : "";
      for (std::size_t i = 0; i < 6; ++i) rebuilt += std::string(f[i]) + "\t";
      out += rebuilt + *value + "\n";
      kept.emplace(f[5]);
    }
  }
  for (const auto& [name, value] : fresh)
    if (kept.count(name) == 0) out += ".qq.com\tTRUE\t/\tFALSE\t0\t" + name + "\t" + value + "\n";
  return out;
}

bool writeCookieFile(const std::string& path, const std::string& content, std::string* error) {
  namespace fs = std::filesystem;
  const fs::path target = platform::systemPath(path);
  std::error_code ignored;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ignored);
  const fs::path temporary = platform::systemPath(path + ".new-" + std::to_string(platform::processId()));
  platform::File file = platform::openFile(temporary, platform::Opening::createPrivate);
  auto fail = [&](const char* what) {
    *error = std::string(what) + " " + path + ": " + platform::lastFailure();
    file.reset();
    platform::removeFile(temporary);
    return false;
  };
  if (!file.ok()) return fail("cannot write");
  // The private mode of a new file does not apply to one left over from a run that was killed.
  if (!platform::setPermissions(file, 0600)) return fail("cannot protect");
  if (!platform::writeAll(file, content) || !platform::flushAll(file)) return fail("cannot write");
  if (!file.close()) return fail("cannot write");
  if (!platform::replace(temporary, target)) return fail("cannot replace");
  return true;
}

}  // namespace fotolun
