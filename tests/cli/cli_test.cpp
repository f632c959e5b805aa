// fotolun-cli as a user runs it: the real binary against the stand-in service on loopback.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

#include "cli_process.h"
#include "standin/standin.h"
#include "support/standin_fixture.h"

namespace fotolun::testing {
namespace {

namespace fs = std::filesystem;

// What the Windows program under Wine cannot be asked.
constexpr const char* kNoCtrlCUnderWine =
    "under Wine: a POSIX SIGINT does not reach the program as a console Ctrl-C, and no console "
    "of Wine's can be handed a Ctrl-C event from the Linux side";
constexpr const char* kNoModesUnderWine = "Windows keeps no POSIX mode; Wine creates files as its umask says";
constexpr const char* kNoDemoOnWindows = "the Windows build has no stand-in, so no demo";

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

void writeFile(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// Every regular file below folder, by content (a multiset of photos).
std::multiset<std::string> photosIn(const fs::path& folder) {
  std::multiset<std::string> out;
  if (!fs::exists(folder)) return out;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    // The folders' records and offline pages are no photos.
    if (entry.is_regular_file() && name != ".fotolun-archive" && name != "album.json" &&
        !name.ends_with(".html"))
      out.insert(readAll(entry.path()));
  }
  return out;
}

std::vector<fs::path> partFilesIn(const fs::path& folder) {
  std::vector<fs::path> out;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file() && entry.path().filename().string().find(".part") != std::string::npos)
      out.push_back(entry.path());
  return out;
}

// An environment variable set for a scope: what the caller had comes back at its end, also when
// an assertion leaves early.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* before = std::getenv(name)) before_ = before;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedVariable() { before_ ? setenv(name_, before_->c_str(), 1) : unsetenv(name_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> before_;
};

class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    standin.start();
    qq = standin.data().ordinaryAccount().qq;
    // A browser's cookies.txt export: the sign-in cookies on .qq.com, plus one of another site.
    std::string netscape = "# Netscape HTTP Cookie File\r\n";
    std::string line = standin.signInCookieText(qq);
    for (std::size_t start = 0; start < line.size();) {
      std::size_t end = line.find("; ", start);
      std::string item = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
      std::size_t eq = item.find('=');
      netscape +=
          "#HttpOnly_.qq.com\tTRUE\t/\tFALSE\t0\t" + item.substr(0, eq) + "\t" + item.substr(eq + 1) + "\r\n";
      start = end == std::string::npos ? line.size() : end + 2;
    }
    netscape += ".example.com\tTRUE\t/\tFALSE\t0\tskey\tnot-ours\r\n";
    writeFile(folder.path() / "cookies.txt", netscape);
    writeFile(folder.path() / "cookie-line.txt", line + "\n");
    // What one run keeps in the settings (the family that answered) is no other test's business.
    setenv("FOTOLUN_SETTINGS", (folder.path() / "peizi.ini").c_str(), 1);
  }

  std::vector<std::string> withCommon(std::vector<std::string> args,
                                      const std::string& cookieFile = "cookies.txt") {
    args.insert(args.end(),
                {"--cookies", (folder.path() / cookieFile).string(), "--proxy", standin.proxyUrl()});
    return args;
  }

  // 序号 of the ordinary account's album named name (UTF-8).
  int numberOf(const std::string& name) {
    const auto& albums = standin.data().ordinaryAccount().albums;
    for (std::size_t i = 0; i < albums.size(); ++i)
      if (albums[i].name == name) return static_cast<int>(i) + 1;
    ADD_FAILURE() << "no album " << name;
    return 0;
  }
  const standin::PersonalAlbum& album(const std::string& name) {
    return standin.data().ordinaryAccount().albums[static_cast<std::size_t>(numberOf(name) - 1)];
  }

  standin::Standin standin;
  TempFolder folder;
  std::string qq;
};

TEST_F(CliTest, UsageAndInputErrorsExitWithTwo) {
  EXPECT_EQ(runCli({}).exitCode, 2);
  EXPECT_EQ(runCli({"albums", "--number"}).exitCode, 2);
  EXPECT_EQ(runCli({"albums", "--cookies", "x"}).exitCode, 2);
  EXPECT_EQ(runCli({"download", "--number", "1", "--cookies", "x", "--mode", "best"}).exitCode, 2);
  EXPECT_EQ(runCli({"download", "--number", "1", "--cookies", "x", "--albums", "3-1"}).exitCode, 2);
  for (const char* streams : {"0", "9", "two", ""})
    EXPECT_EQ(runCli({"download", "--number", "1", "--cookies", "x", "--parallel", streams}).exitCode, 2);
  EXPECT_EQ(runCli({"albums", "--number", "1", "--cookies", "x", "--parallel", "2"}).exitCode, 2);
  EXPECT_EQ(runCli({"login", "--number", "1"}).exitCode, 2);
  EXPECT_EQ(runCli({"gallery"}).exitCode, 2);
  EXPECT_EQ(runCli({"albums", "--number", "12345", "--cookies", "x", "--embed-dates"}).exitCode, 2);
  for (const char* clash : {"--group", "--covers"})
    EXPECT_EQ(runCli({"albums", "--number", "12345", "--cookies", "x", "--feed", clash}).exitCode, 2)
        << clash;
  EXPECT_EQ(runCli({"albums", "--number", "12345", "--cookies", "x", "--feed", "--save", "d"}).exitCode, 2);
  EXPECT_EQ(runCli({"login", "--feed"}).exitCode, 2);
  // A QQ number, or a group's, has 5 to 11 digits; the service is not asked about anything else.
  for (const char* number : {"1234", "123456789012", "12a45", "+12345"}) {
    for (const char* kind : {"--quiet", "--group"}) {
      CliResult run = runCli(withCommon({"albums", "--number", number, kind}));
      EXPECT_EQ(run.exitCode, 2) << number;
      EXPECT_NE(run.err.find("5 to 11 digits"), std::string::npos) << run.err;
    }
  }
  EXPECT_TRUE(standin.server().requests().empty());
  EXPECT_EQ(
      runCli({"albums", "--number", "1", "--cookies", "x", "--cookies-from-browser", "firefox"}).exitCode, 2);
  CliResult notSignedIn = [&] {
    ScopedVariable config("XDG_CONFIG_HOME", (folder.path() / "empty").string());
    fs::remove(userCookieFileOfProgram(folder.path() / "empty"));
    return runCli({"albums", "--number", "12345"});
  }();
  EXPECT_EQ(notSignedIn.exitCode, 2);
  EXPECT_NE(notSignedIn.err.find("fotolun-cli login"), std::string::npos) << notSignedIn.err;
  EXPECT_EQ(
      runCli({"albums", "--number", "12345", "--cookies", (folder.path() / "missing.txt").string()}).exitCode,
      2);

  writeFile(folder.path() / "bad.txt",
            "# Netscape HTTP Cookie File\n.qq.com\tTRUE\t/\tFALSE\t0\tuin\to1\nnonsense\n");
  CliResult bad = runCli(withCommon({"albums", "--number", qq}, "bad.txt"));
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.err.find("line 3"), std::string::npos) << bad.err;

  CliResult missing =
      runCli(withCommon({"download", "--number", qq, "--albums", "99", "--save", folder.path() / "x"}));
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("99"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder.path() / "x" / qq));

  // A CA file that cannot be read would fail every https request: refused at once, from the
  // command line or the environment.
  const std::string noCa = (folder.path() / "no-ca.pem").string();
  CliResult badCa = runCli(withCommon({"albums", "--number", qq, "--ca-file", noCa}));
  EXPECT_EQ(badCa.exitCode, 2);
  EXPECT_NE(badCa.err.find(programPath(noCa)), std::string::npos) << badCa.err;
  setenv("FOTOLUN_CA_FILE", noCa.c_str(), 1);
  CliResult badCaFromEnvironment = runCli(withCommon({"albums", "--number", qq}));
  unsetenv("FOTOLUN_CA_FILE");
  EXPECT_EQ(badCaFromEnvironment.exitCode, 2);
  EXPECT_NE(badCaFromEnvironment.err.find("FOTOLUN_CA_FILE"), std::string::npos) << badCaFromEnvironment.err;

  CliResult help = runCli({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("fotolun-cli download"), std::string::npos);
}

TEST_F(CliTest, BothCookieFormatsListTheSameAlbums) {
  CliResult fromExport = runCli(withCommon({"albums", "--number", qq}));
  const std::string authority = (folder.path() / "authority.pem").string();
  standin::Standin::writeCertificateAuthority(authority);
  CliResult fromLine =
      runCli(withCommon({"albums", "--number", qq, "--quiet", "--ca-file", authority}, "cookie-line.txt"));
  ASSERT_EQ(fromExport.exitCode, 0) << fromExport.err;
  ASSERT_EQ(fromLine.exitCode, 0) << fromLine.err;
  EXPECT_NE(fromExport.out.find("序号"), std::string::npos);
  EXPECT_NE(fromExport.out.find("旅行2019"), std::string::npos);
  EXPECT_NE(fromExport.out.find("我的生日是哪天？"), std::string::npos);
  // --quiet keeps the table and drops the log.
  EXPECT_EQ(fromLine.out.find("正努力获取相册列表"), std::string::npos);
  // Names left empty by cleaning get five random letters, different in every run.
  const std::regex unnamed("未知相册[A-Z]{5}");
  EXPECT_NE(std::regex_replace(fromExport.out, unnamed, "未知相册")
                .find(std::regex_replace(fromLine.out, unnamed, "未知相册")),
            std::string::npos);
}

// The test plays the phone: it acts on the QR sign-in as the states show up on the terminal.
struct Phone {
  std::function<void(int codesShown)> onCode;  // a new code is on the screen
  std::function<void()> onScanned;             // the terminal says the code was scanned
};

CliResult loginWith(const std::vector<std::string>& args, Phone phone) {
  int codesSeen = 0;
  bool scannedSeen = false;
  setenv("FOTOLUN_QR_POLL_MS", "20", 1);
  CliResult result = runCli(args, [&](int, const std::string& out) {
    int codes = 0;
    for (std::size_t at = out.find("请用手机QQ扫描二维码"); at != std::string::npos;
         at = out.find("请用手机QQ扫描二维码", at + 1))
      ++codes;
    if (codes > codesSeen && phone.onCode) phone.onCode(codesSeen = codes);
    if (!scannedSeen && out.find("已扫描") != std::string::npos && phone.onScanned) {
      scannedSeen = true;
      phone.onScanned();
    }
  });
  unsetenv("FOTOLUN_QR_POLL_MS");
  return result;
}

TEST_F(CliTest, LoginByQrCodeWritesTheSessionThatAlbumsAndDownloadRead) {
  const std::string authority = (folder.path() / "authority.pem").string();
  standin::Standin::writeCertificateAuthority(authority);
  const std::vector<std::string> common = {"--proxy", standin.proxyUrl(), "--ca-file", authority};
  // Without --cookies every command uses the user's config folder.
  ScopedVariable config("XDG_CONFIG_HOME", (folder.path() / "config").string());
  fs::remove(userCookieFileOfProgram(folder.path() / "config"));
  auto& qr = standin.qrLogins();
  std::vector<std::string> login = {"login"};
  login.insert(login.end(), common.begin(), common.end());
  // The first code expires unscanned, the second is scanned and then confirmed.
  CliResult signedIn =
      loginWith(login, {[&](int codes) { codes == 1 ? qr.expire("latest") : qr.scan("latest"); },
                        [&] { qr.confirm("latest", qq); }});
  ASSERT_EQ(signedIn.exitCode, 0) << signedIn.out << signedIn.err;
  EXPECT_EQ(qr.codesHandedOut(), 2);
  std::size_t at = 0;
  for (const std::string& step :
       {std::string("█"), std::string("请用手机QQ扫描二维码"), std::string("fotolun-qr-"),
        std::string("二维码已失效"), std::string("请用手机QQ扫描二维码"), std::string("已扫描"),
        std::string("已确认"), "Signed in as " + qq}) {
    at = signedIn.out.find(step, at);
    ASSERT_NE(at, std::string::npos) << "missing " << step << " in order:\n" << signedIn.out;
  }
  const fs::path written = userCookieFileOfProgram(folder.path() / "config");
  if (!leftOutUnderWine("the session file's mode 0600", kNoModesUnderWine)) {
    EXPECT_EQ(fs::status(written).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
  }
  EXPECT_NE(readAll(written).find("\tp_skey\t"), std::string::npos);

  std::vector<std::string> albums = {"albums", "--number", qq};
  albums.insert(albums.end(), common.begin(), common.end());
  CliResult listed = runCli(albums);
  EXPECT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_NE(listed.out.find("旅行2019"), std::string::npos);
  std::vector<std::string> download = {"download",
                                       "--number",
                                       qq,
                                       "--albums",
                                       std::to_string(numberOf("旅行2019")),
                                       "--save",
                                       (folder.path() / "saved").string()};
  download.insert(download.end(), common.begin(), common.end());
  CliResult downloaded = runCli(download);
  EXPECT_EQ(downloaded.exitCode, 0) << downloaded.err;
  EXPECT_EQ(photosIn(folder.path() / "saved").size(), album("旅行2019").photos.size());
}

TEST_F(CliTest, AFailedQrSignInSaysWhyAndLeavesTheCookieFileAlone) {
  const std::string authority = (folder.path() / "authority.pem").string();
  standin::Standin::writeCertificateAuthority(authority);
  auto& qr = standin.qrLogins();
  const struct {
    const char* name;
    Phone phone;
    const char* said;
  } cases[] = {
      {"refused", {[&](int) { qr.scan("latest"); }, [&] { qr.refuse("latest"); }}, "refused"},
      {"no session keys", {[&](int) { qr.confirm("latest", qq, false); }, nullptr}, "no skey or p_skey"},
      {"every code expires", {[&](int) { qr.expire("latest"); }, nullptr}, "expired"},
  };
  for (const auto& c : cases) {
    CliResult run = loginWith({"login", "--cookies", (folder.path() / "cookies.txt").string(), "--proxy",
                               standin.proxyUrl(), "--ca-file", authority},
                              c.phone);
    EXPECT_EQ(run.exitCode, 3) << c.name << "\n" << run.out << run.err;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << c.name << ": " << run.err;
  }
  EXPECT_NE(readAll(folder.path() / "cookies.txt").find("not-ours"), std::string::npos);
  EXPECT_EQ(readAll(folder.path() / "cookies.txt").find("qrsig"), std::string::npos);
}

TEST_F(CliTest, CookiesTheServiceRenewsGoBackToACookiesTxtButALineStaysAsWritten) {
  standin::Fault renew;
  renew.kind = standin::FaultKind::AddHeaders;
  renew.reply.headers = {{"Set-Cookie", "p_skey=renewed; Path=/; Domain=qq.com"}};
  standin.server().addFault("fcg_list_album_v2", renew);
  const std::string line = readAll(folder.path() / "cookie-line.txt");
  for (const char* file : {"cookies.txt", "cookie-line.txt"}) {
    CliResult run = runCli(withCommon({"albums", "--number", qq}, file));
    ASSERT_EQ(run.exitCode, 0) << file << run.err;
  }
  EXPECT_EQ(readAll(folder.path() / "cookie-line.txt"), line);
  const std::string renewed = readAll(folder.path() / "cookies.txt");
  EXPECT_NE(renewed.find("#HttpOnly_.qq.com\tTRUE\t/\tFALSE\t0\tp_skey\trenewed\n"), std::string::npos)
      << renewed;
  EXPECT_NE(renewed.find(".example.com\tTRUE\t/\tFALSE\t0\tskey\tnot-ours"), std::string::npos);
  if (!leftOutUnderWine("the renewed file's mode 0600", kNoModesUnderWine)) {
    EXPECT_EQ(fs::status(folder.path() / "cookies.txt").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
  }
  // The next run starts with the renewed session.
  standin.server().clearFaults();
  standin.server().clearRequests();
  ASSERT_EQ(runCli(withCommon({"albums", "--number", qq})).exitCode, 0);
  bool listed = false;
  for (const auto& request : standin.server().requests()) {
    if (request.path != "/fcgi-bin/fcg_list_album_v2") continue;
    listed = true;
    EXPECT_NE(request.header("Cookie").find("p_skey=renewed"), std::string::npos) << request.header("Cookie");
  }
  EXPECT_TRUE(listed);
}

// A Firefox cookie database as Firefox keeps it while running: its schema, in WAL mode with the
// newest rows still in the log, and locked against every other reader.
struct FirefoxDatabase {
  FirefoxDatabase(const fs::path& folder, const std::vector<std::array<std::string, 3>>& cookies) {
    fs::create_directories(folder);
    EXPECT_EQ(sqlite3_open((folder / "cookies.sqlite").c_str(), &db), SQLITE_OK);
    std::string sql =
        "PRAGMA locking_mode=EXCLUSIVE; PRAGMA journal_mode=WAL;"
        "CREATE TABLE moz_cookies (id INTEGER PRIMARY KEY, originAttributes TEXT NOT NULL DEFAULT '', name "
        "TEXT, value TEXT, host TEXT, path TEXT, expiry INTEGER, lastAccessed INTEGER, creationTime INTEGER, "
        "isSecure INTEGER, isHttpOnly INTEGER, inBrowserElement INTEGER DEFAULT 0, sameSite INTEGER DEFAULT "
        "0, "
        "rawSameSite INTEGER DEFAULT 0, schemeMap INTEGER DEFAULT 0, CONSTRAINT moz_uniqueid UNIQUE (name, "
        "host, path, originAttributes));";
    int created = 1;
    for (const auto& [host, name, value] : cookies)
      sql +=
          "INSERT INTO moz_cookies (name, value, host, path, expiry, lastAccessed, creationTime, isSecure, "
          "isHttpOnly) VALUES ('" +
          name + "', '" + value + "', '" + host + "', '/', 1999999999, 0, " + std::to_string(created++) +
          ", 0, 1);";
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  }
  ~FirefoxDatabase() { sqlite3_close(db); }
  sqlite3* db = nullptr;
};

TEST_F(CliTest, CookiesFromARunningFirefoxProfile) {
  if (cliProgram().windows)
    GTEST_SKIP() << "under Wine: the profiles are found through %APPDATA%, which Wine sets to its prefix's "
                    "own folder whatever the environment says";
  const fs::path home = folder.path() / "home", firefox = home / ".mozilla" / "firefox";
  // The stale key was set before the sign-in: the newest cookie of a name counts.
  std::vector<std::array<std::string, 3>> signedIn = {{".example.com", "skey", "not-ours"},
                                                      {"user.qzone.qq.com", "skey", "@stale"}};
  std::string line = standin.signInCookieText(qq);
  for (std::size_t start = 0; start < line.size();) {
    const std::size_t end = std::min(line.find("; ", start), line.size());
    const std::string item = line.substr(start, end - start);
    signedIn.push_back({".qq.com", item.substr(0, item.find('=')), item.substr(item.find('=') + 1)});
    start = end + 2;
  }
  FirefoxDatabase current(firefox / "ab12cd34.default-release", signedIn);
  FirefoxDatabase old(firefox / "ef56gh78.default",
                      {{".qq.com", "uin", "o00" + qq}, {".qq.com", "skey", "@old"}});
  // The profile the installation starts with, not the one an older Firefox marked default.
  writeFile(
      firefox / "profiles.ini",
      "[Install4F96D1932A9F858E]\nDefault=ab12cd34.default-release\nLocked=1\n\n[Profile1]\nName=default\n"
      "IsRelative=1\nPath=ef56gh78.default\nDefault=1\n\n[Profile0]\nName=default-release\nIsRelative=1\n"
      "Path=ab12cd34.default-release\n");
  // Locked by Firefox, the newest rows still in its log: only a copy with the log can be read.
  EXPECT_GT(fs::file_size(firefox / "ab12cd34.default-release" / "cookies.sqlite-wal"), 0u);
  sqlite3* reader = nullptr;
  ASSERT_EQ(sqlite3_open((firefox / "ab12cd34.default-release" / "cookies.sqlite").c_str(), &reader),
            SQLITE_OK);
  EXPECT_NE(sqlite3_exec(reader, "SELECT count(*) FROM moz_cookies", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(reader);

  ScopedVariable homeVariable("HOME", home.string());
  const struct {
    std::string browser;
    int exitCode;
  } cases[] = {{"firefox", 0},
               {"firefox:" + (firefox / "ab12cd34.default-release").string(), 0},
               {"firefox:default", 3},
               {"firefox:nobody", 2},
               {"chrome", 2}};
  for (const auto& c : cases) {
    CliResult run = runCli(
        {"albums", "--number", qq, "--cookies-from-browser", c.browser, "--proxy", standin.proxyUrl()});
    EXPECT_EQ(run.exitCode, c.exitCode) << c.browser << "\n" << run.err;
    EXPECT_EQ(run.out.find("旅行2019") != std::string::npos, c.exitCode == 0) << c.browser;
  }
  EXPECT_FALSE(fs::exists(firefox / "ab12cd34.default-release" / "cookies.sqlite-journal"));
}

TEST_F(CliTest, NotSignedInAndNoPermissionExitWithThree) {
  writeFile(folder.path() / "stale.txt", "uin=o00" + qq + "; p_skey=x\n");
  CliResult stale = runCli(withCommon({"albums", "--number", qq}, "stale.txt"));
  EXPECT_EQ(stale.exitCode, 3);
  EXPECT_NE(stale.err.find("--cookies"), std::string::npos) << stale.err;

  CliResult denied = runCli(withCommon({"albums", "--number", standin.data().privateAccount().qq}));
  EXPECT_EQ(denied.exitCode, 3);
  EXPECT_NE(denied.out.find("您没有访问该QQ相册的权限"), std::string::npos);
}

// A space's posts: what would be fetched, by year; all of it; then what was posted since, from the
// pages up to the first one saved whole. A space closed to the session is refused, as its albums are.
TEST_F(CliTest, ASpacesPostsAreCountedFetchedAndThenOnlyTheNewOnes) {
  const std::string authority = (folder.path() / "authority.pem").string();
  standin::Standin::writeCertificateAuthority(authority);
  const standin::PersonalAccount& feed = standin.data().feedAccount();
  std::map<std::string, std::array<int, 3>> years;  // posts, pictures, videos
  int files = 0;
  for (const standin::FeedPost& post : feed.feed) {
    if (post.hidden || (post.pictures.empty() && post.videos.empty())) continue;
    const std::time_t china = static_cast<std::time_t>(post.createdTime + 8 * 3600);
    std::array<int, 3>& year = years[std::to_string(1900 + std::gmtime(&china)->tm_year)];
    ++year[0];
    for (const standin::FeedPicture& picture : post.pictures) ++year[picture.videoUrl.empty() ? 1 : 2];
    year[2] += static_cast<int>(post.videos.size());
    files += static_cast<int>(post.pictures.size() + post.videos.size());
  }
  const std::vector<std::string> common = {"--number", feed.qq, "--ca-file", authority};
  const auto with = [&](std::vector<std::string> args) {
    args.insert(args.end(), common.begin(), common.end());
    return withCommon(args);
  };
  CliResult listed = runCli(with({"albums", "--feed"}));
  ASSERT_EQ(listed.exitCode, 0) << listed.out << listed.err;
  for (const auto& [year, counts] : years) {
    const std::regex row(year + " +" + std::to_string(counts[0]) + " +" + std::to_string(counts[1]) + " +" +
                         std::to_string(counts[2]) + "\n");
    EXPECT_TRUE(std::regex_search(listed.out, row)) << year << "\n" << listed.out;
  }
  EXPECT_NE(listed.out.find("not visible to this session"), std::string::npos) << listed.out;

  const std::string save = (folder.path() / "save").string();
  CliResult all = runCli(with({"download", "--feed", "--parallel", "4", "--save", save}));
  ASSERT_EQ(all.exitCode, 0) << all.out << all.err;
  EXPECT_EQ(photosIn(folder.path() / "save").size(), static_cast<std::size_t>(files));
  EXPECT_TRUE(
      fs::is_regular_file(folder.path() / "save" / feed.qq / "说说" / years.begin()->first / "index.html"));

  ASSERT_TRUE(standin.addFeedPosts(feed.qq, 3));
  int added = 0;
  for (std::size_t i = 0; i < 3; ++i)
    added += static_cast<int>(standin.data().feedAccount().feed[i].pictures.size());
  const std::size_t pagesBefore = standin.server().requests().size();
  CliResult fresh = runCli(with({"download", "--feed-new", "--save", save}));
  ASSERT_EQ(fresh.exitCode, 0) << fresh.out << fresh.err;
  EXPECT_NE(fresh.out.find("photos " + std::to_string(added) + ","), std::string::npos) << fresh.out;
  EXPECT_EQ(photosIn(folder.path() / "save").size(), static_cast<std::size_t>(files + added));
  int pages = 0;
  const auto requests = standin.server().requests();
  for (std::size_t i = pagesBefore; i < requests.size(); ++i)
    pages += requests[i].target.find("emotion_cgi_msglist_v6") != std::string::npos ? 1 : 0;
  // The new posts push older ones onto the second page, the first one saved whole.
  EXPECT_EQ(pages, 2);

  CliResult closed = runCli(withCommon(
      {"albums", "--feed", "--number", standin.data().privateAccount().qq, "--ca-file", authority}));
  EXPECT_EQ(closed.exitCode, 3) << "refused, as its albums are: no empty backup passes for a good one";
  EXPECT_NE(closed.out.find(
                "[您没有访问该空间说说的权限（服务返回代码-10031：对不起,主人设置了保密,您没有权限查看）]"),
            std::string::npos)
      << closed.out;
  EXPECT_NE(closed.err.find("no permission"), std::string::npos) << closed.err;
}

TEST_F(CliTest, DownloadsThePickedAlbumsInBothSizesByteForByte) {
  const int travel = numberOf("旅行2019"), birthday = numberOf("生日🎂快乐");
  const std::string pick = std::to_string(travel) + "," + std::to_string(birthday);
  std::multiset<std::string> hd, original;
  for (const auto* a : {&album("旅行2019"), &album("生日🎂快乐")}) {
    for (const auto& photo : a->photos) {
      hd.insert(standin.photoBytes(photo.url));
      original.insert(standin.photoBytes(photo.raw == standin::RawAddress::Given ? photo.rawUrl : photo.url));
    }
  }

  CliResult hdRun = runCli(withCommon({"download", "--number", qq, "--mode", "hd", "--albums", pick, "--save",
                                       (folder.path() / "hd").string()}));
  ASSERT_EQ(hdRun.exitCode, 0) << hdRun.out << hdRun.err;
  EXPECT_EQ(photosIn(folder.path() / "hd"), hd);
  EXPECT_TRUE(fs::is_directory(folder.path() / "hd" / qq / "旅行201912"));
  // Not a terminal: plain lines, no redrawing.
  EXPECT_EQ(hdRun.out.find('\r'), std::string::npos);
  EXPECT_EQ(hdRun.out.find("\033["), std::string::npos);
  EXPECT_NE(hdRun.out.find("album 2/2"), std::string::npos);
  EXPECT_NE(hdRun.out.find("-------全部下载完毕--------"), std::string::npos);
  EXPECT_NE(hdRun.out.find("photos " + std::to_string(hd.size())), std::string::npos) << hdRun.out;
  // The album list's description reaches the record, and the run's end the offline album, which
  // the gallery command rebuilds from the records alone.
  const fs::path top = folder.path() / "hd" / qq / "index.html";
  EXPECT_NE(hdRun.out.find("Offline album: " + programPath(top) + "\n"), std::string::npos) << hdRun.out;
  EXPECT_NE(readAll(folder.path() / "hd" / qq / "旅行201912" / "album.json")
                .find("\"description\": \"关于旅行2019的照片\""),
            std::string::npos);
  fs::remove(top);
  CliResult rebuilt = runCli({"gallery", (folder.path() / "hd").string()});
  EXPECT_EQ(rebuilt.exitCode, 0) << rebuilt.err;
  EXPECT_NE(rebuilt.out.find("Offline album: " + programPath(top)), std::string::npos) << rebuilt.out;
  EXPECT_TRUE(fs::exists(top));
  EXPECT_EQ(runCli({"gallery", folder.path().string() + "/nothing"}).exitCode, 2);

  // Four at a time: the same photos and, save for the time taken, the same output.
  CliResult parallelRun = runCli(withCommon({"download", "--number", qq, "--mode", "hd", "--albums", pick,
                                             "--save", (folder.path() / "hd4").string(), "--parallel", "4"}));
  ASSERT_EQ(parallelRun.exitCode, 0) << parallelRun.out << parallelRun.err;
  EXPECT_EQ(photosIn(folder.path() / "hd4"), hd);
  const auto untimed = [](const std::string& out) { return out.substr(0, out.rfind(", seconds ")); };
  EXPECT_EQ(untimed(parallelRun.out), untimed(hdRun.out));

  CliResult originalRun = runCli(withCommon({"download", "--number", qq, "--mode", "original", "--albums",
                                             pick, "--save", (folder.path() / "original").string()},
                                            "cookie-line.txt"));
  ASSERT_EQ(originalRun.exitCode, 0) << originalRun.err;
  EXPECT_EQ(photosIn(folder.path() / "original"), original);
  EXPECT_NE(hd, original);
}

// The older listings mark a video entry but give its cover as the address: the video comes through
// the https photo viewer, at either size, and the one that only streams is named as not saved.
TEST_F(CliTest, VideosTheOlderListingsMarkAreSavedAsVideosNeverAsTheirCovers) {
  const standin::PersonalAlbum& videoAlbum = standin.data().videoAccount().albums[0];
  const std::string authority = (folder.path() / "authority.pem").string();
  standin::Standin::writeCertificateAuthority(authority);
  for (const std::string mode : {"hd", "original"}) {
    SCOPED_TRACE(mode);
    std::multiset<std::string> expected;
    for (const auto& photo : videoAlbum.photos) {
      if (!photo.video) {
        const bool raw = mode == "original" && photo.raw == standin::RawAddress::Given;
        expected.insert(standin.photoBytes(raw ? photo.rawUrl : photo.url));
      } else if (!photo.video->isPlaylist()) {
        const std::string& file =
            photo.video->downloadUrl.empty() ? photo.video->videoUrl : photo.video->downloadUrl;
        expected.insert(standin.photoBytes(file));
      }
    }
    CliResult run = runCli(withCommon({"download", "--number", standin.data().videoAccount().qq, "--api",
                                       "classic", "--mode", mode, "--albums", "1", "--save",
                                       (folder.path() / mode).string(), "--ca-file", authority}));
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_EQ(photosIn(folder.path() / mode), expected);
    EXPECT_NE(run.out.find("视频无法下载：分段的视频（只有在线播放列表（m3u8）"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("failed 1"), std::string::npos) << run.out;
  }
}

TEST_F(CliTest, DownloadsAGroupsAlbums) {
  const standin::Group& group = standin.data().smallGroup();
  std::multiset<std::string> expected;
  for (const auto& photo : group.albums[0].photos) {
    std::string url = photo.burl;
    if (std::size_t at = url.find("200?w5"); at != std::string::npos) url.replace(at, 6, "800?w5");
    expected.insert(standin.photoBytes(url));
  }
  CliResult run = runCli(withCommon(
      {"download", "--group", "--number", group.number, "--albums", "1", "--save", folder.path().string()}));
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_EQ(photosIn(folder.path() / group.number), expected);
  EXPECT_NE(run.out.find("----完成相册《"), std::string::npos);
}

TEST_F(CliTest, APhotoThatCannotBeFetchedExitsWithOne) {
  const auto& photos = album("旅行2019").photos;
  standin.server().addFault(photos[3].url.substr(photos[3].url.find("://") + 3),
                            standin::Fault{standin::FaultKind::HttpError, -1, {}, 404});
  CliResult run =
      runCli(withCommon({"download", "--number", qq, "--mode", "hd", "--albums",
                         std::to_string(numberOf("旅行2019")), "--save", (folder.path() / "save").string()}));
  EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
  EXPECT_NE(run.out.find("failed 1"), std::string::npos) << run.out;
  EXPECT_EQ(photosIn(folder.path() / "save").size(), photos.size() - 1);
}

// A throttle wall (empty server errors) outlasting --patience stops the run at once, nothing
// half-saved; the same command later goes on where it stopped.
TEST_F(CliTest, AWallPastThePatienceStopsTheRunAndTheNextRunGoesOn) {
  const auto& photos = album("旅行2019").photos;
  const std::vector<std::string> args = withCommon({"download", "--number", qq, "--mode", "hd", "--albums",
                                                    std::to_string(numberOf("旅行2019")), "--save",
                                                    (folder.path() / "save").string(), "--patience", "0.01"});
  standin.server().addFault(photos[5].url.substr(photos[5].url.find("://") + 3),
                            standin::Fault{standin::FaultKind::Reply, -1, {}, 500, 0, {500, {}, ""}});
  CliResult walled = runCli(args);
  EXPECT_EQ(walled.exitCode, 1) << walled.out << walled.err;
  EXPECT_NE(walled.err.find("stayed busy past the patience"), std::string::npos) << walled.err;
  EXPECT_NE(walled.out.find("等了1秒仍未恢复"), std::string::npos) << walled.out;
  EXPECT_EQ(photosIn(folder.path() / "save").size(), 5u);

  standin.server().clearFaults();
  CliResult later = runCli(args);
  EXPECT_EQ(later.exitCode, 0) << later.out << later.err;
  EXPECT_NE(later.out.find("skipped 5"), std::string::npos) << later.out;
  EXPECT_EQ(photosIn(folder.path() / "save").size(), photos.size());
}

// The exit code says what became of the run: 3 when the service ended the session, 1 when an
// album's list never came or Ctrl-C stopped a list.
TEST_F(CliTest, TheExitCodeSaysWhatTheServiceAndTheDiskDid) {
  const std::string pick = std::to_string(numberOf("旅行2019")) + "," + std::to_string(numberOf("心情日记"));
  auto download = [&](const std::string& save,
                      const std::function<void(int, const std::string&)>& watch = nullptr) {
    return runCli(withCommon({"download", "--number", qq, "--mode", "hd", "--albums", pick, "--save",
                              (folder.path() / save).string()}),
                  watch);
  };

  standin::Fault expired{standin::FaultKind::Reply};
  expired.reply = {200, {}, R"({"code":-3000,"message":"未登录或者登录超时"})"};
  expired.skip = 1;
  standin.server().addFault("/p/plist.photo/", expired);
  CliResult signedOut = download("expired");
  EXPECT_EQ(signedOut.exitCode, 3) << signedOut.out << signedOut.err;
  EXPECT_NE(signedOut.err.find("not signed in"), std::string::npos) << signedOut.err;
  EXPECT_NE(signedOut.out.find("failed albums 1"), std::string::npos) << signedOut.out;
  EXPECT_EQ(photosIn(folder.path() / "expired").size(), album("旅行2019").photos.size());

  standin.server().clearFaults();
  standin.server().addFault("topicId=" + album("心情日记").id, standin::Fault{standin::FaultKind::NotJson});
  CliResult unlisted = download("unlisted");
  EXPECT_EQ(unlisted.exitCode, 1) << unlisted.out << unlisted.err;
  EXPECT_NE(unlisted.out.find("相册《心情日记》的照片列表获取失败：回复不是JSON"), std::string::npos)
      << unlisted.out;

  if (leftOutUnderWine("Ctrl-C while listing", kNoCtrlCUnderWine)) return;
  standin.server().clearFaults();
  standin.server().addFault("fcg_list_album_v2",
                            standin::Fault{standin::FaultKind::Delay, -1, std::chrono::milliseconds(20000)});
  const auto started = std::chrono::steady_clock::now();
  CliResult listing = download("listing", [](int pid, const std::string& out) {
    if (out.find("正努力获取相册列表") != std::string::npos) kill(pid, SIGINT);
  });
  EXPECT_EQ(listing.exitCode, 1) << listing.out << listing.err;
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10))
      << "Ctrl-C acts while listing";
}

// An album folder the user may not write into: exit code 1. Root writes anywhere, so the run is
// another user's, with everything it reads or writes in that user's own folder.
TEST_F(CliTest, AnAlbumFolderThatCannotBeWrittenExitsWithOne) {
  UnprivilegedCli cli;
  if (!cli.unavailable().empty()) GTEST_SKIP() << cli.unavailable();
  fs::copy_file(folder.path() / "cookies.txt", cli.folder() / "cookies.txt");
  const fs::path locked = cli.folder() / "save" / qq / "旅行201912";
  fs::create_directories(locked);
  cli.own(cli.folder());
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  CliResult run =
      cli.run({"download", "--number", qq, "--mode", "hd", "--albums", std::to_string(numberOf("旅行2019")),
               "--save", (cli.folder() / "save").string(), "--cookies",
               (cli.folder() / "cookies.txt").string(), "--proxy", standin.proxyUrl()});
  EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
  EXPECT_NE(run.out.find("图片保存失败："), std::string::npos) << run.out;
  EXPECT_TRUE(fs::is_empty(locked));
}

TEST_F(CliTest, CtrlCStopsMidAlbumAndLeavesNoPartialFile) {
  if (cliProgram().windows) GTEST_SKIP() << kNoCtrlCUnderWine;
  // Slow photos, so the stop lands in the middle of a transfer.
  standin.server().addFault(
      "/psb?/", standin::Fault{standin::FaultKind::SlowBody, -1, std::chrono::milliseconds(30), 500, 256});
  bool interrupted = false;
  CliResult run =
      runCli(withCommon({"download", "--number", qq, "--mode", "hd", "--albums",
                         std::to_string(numberOf("五百张")), "--save", (folder.path() / "save").string()}),
             [&](int pid, const std::string& out) {
               if (!interrupted && out.find("photo 1/500") != std::string::npos) {
                 interrupted = true;
                 kill(pid, SIGINT);
               }
             });
  ASSERT_TRUE(interrupted) << run.out << run.err;
  EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
  EXPECT_NE(run.out.find("彻底结束下载了"), std::string::npos);
  EXPECT_EQ(run.out.find("-------全部下载完毕--------"), std::string::npos);
  EXPECT_TRUE(partFilesIn(folder.path() / "save").empty());
  // Every file left is a whole photo of the album.
  std::set<std::string> served;
  for (const auto& photo : album("五百张").photos) served.insert(standin.photoBytes(photo.url));
  const auto saved = photosIn(folder.path() / "save");
  EXPECT_LT(saved.size(), 500u);
  for (const std::string& bytes : saved) EXPECT_EQ(served.count(bytes), 1u);
}

TEST_F(CliTest, DemoRunsTheWholeJobAgainstItsOwnStandinAndASecondRunFetchesNothing) {
  if (cliProgram().windows) GTEST_SKIP() << kNoDemoOnWindows;
  CliResult run = runCli({"demo", "--save", folder.path().string()});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  // The one failure is the video that only streams, named as such.
  EXPECT_NE(run.out.find("failed 1,"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("1 video(s) stream only as a playlist"), std::string::npos);
  EXPECT_NE(run.out.find("served hd by classic, original by classic, group by classic"), std::string::npos);
  EXPECT_NE(run.out.find("served hd by current, original by current, group by current, videos by current"),
            std::string::npos);
  for (const char* pass :
       {"classic/hd", "classic/original", "classic/group", "current/hd", "current/original", "current/group",
        "current/videos", "current/group-videos", "current/posts"})
    EXPECT_TRUE(fs::is_directory(folder.path() / pass)) << pass;
  EXPECT_TRUE(partFilesIn(folder.path()).empty());

  const auto photos = [&] {
    std::multiset<std::string> all = photosIn(folder.path() / "classic");
    all.merge(photosIn(folder.path() / "current"));
    return all;
  };
  const auto before = photos();
  CliResult again = runCli({"demo", "--save", folder.path().string()});
  ASSERT_EQ(again.exitCode, 0) << again.out << again.err;
  EXPECT_NE(again.out.find("photos 0, skipped " + std::to_string(before.size())), std::string::npos)
      << again.out;
  EXPECT_NE(again.out.find("Nothing new"), std::string::npos);
  EXPECT_EQ(photos(), before);
}

// A run killed outright (no chance to tidy up) and run again: exactly one copy of every photo;
// --no-skip then fetches them all once more as new files.
TEST_F(CliTest, AKilledRunRunAgainLeavesOneCopyOfEachPhoto) {
  std::multiset<std::string> served;
  for (const auto& photo : album("旅行2019").photos) served.insert(standin.photoBytes(photo.url));
  const std::vector<std::string> args =
      withCommon({"download", "--number", qq, "--mode", "hd", "--albums",
                  std::to_string(numberOf("旅行2019")), "--save", (folder.path() / "save").string()});
  standin.server().addFault(
      "/psb?/", standin::Fault{standin::FaultKind::SlowBody, -1, std::chrono::milliseconds(20), 500, 2048});
  bool killed = false;
  runCli(args, [&](int pid, const std::string& out) {
    if (!killed && out.find("photo 5/12") != std::string::npos) {
      killed = true;
      kill(pid, SIGKILL);
    }
  });
  ASSERT_TRUE(killed);
  standin.server().clearFaults();
  CliResult again = runCli(args);
  ASSERT_EQ(again.exitCode, 0) << again.out << again.err;
  EXPECT_EQ(photosIn(folder.path() / "save"), served);
  EXPECT_NE(again.out.find("跳过"), std::string::npos) << again.out;

  std::vector<std::string> noSkip = args;
  noSkip.push_back("--no-skip");
  ASSERT_EQ(runCli(noSkip).exitCode, 0);
  EXPECT_EQ(photosIn(folder.path() / "save").size(), 2 * served.size());
}

TEST_F(CliTest, CtrlCStopsTheDemoWithinItsFirstPass) {
  if (cliProgram().windows) GTEST_SKIP() << kNoDemoOnWindows;
  bool interrupted = false;
  CliResult run = runCli({"demo", "--save", folder.path().string()}, [&](int pid, const std::string& out) {
    if (!interrupted && out.find("photo 1/") != std::string::npos) {
      interrupted = true;
      kill(pid, SIGINT);
    }
  });
  ASSERT_TRUE(interrupted) << run.out << run.err;
  EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
  EXPECT_NE(run.out.find("Demo stopped in"), std::string::npos) << run.out;
  EXPECT_TRUE(fs::exists(folder.path() / "classic" / "hd"));
  for (const char* later : {"classic/original", "classic/group", "current"})
    EXPECT_FALSE(fs::exists(folder.path() / later)) << later;
  EXPECT_TRUE(partFilesIn(folder.path()).empty());
}

// The Windows zip as a user unpacks it, into a folder whose name holds Chinese and a space: run
// from there without --save, the download lands beside the program (the portable rule, its
// settings file too), the same photos under the same names, with the same exit code as this
// build's own run.
TEST_F(CliTest, TheWindowsZipDownloadsFromWhereItIsUnpackedAsTheLinuxBuildDoes) {
  const char* zip = std::getenv("FOTOLUN_WINDOWS_ZIP");
  if (zip == nullptr || !cliProgram().windows)
    GTEST_SKIP() << "only with FOTOLUN_WINDOWS_ZIP, the zip of the Windows program under test";
  const fs::path unpacked = folder.path() / "照片 备份";
  fs::create_directories(unpacked);
  ASSERT_EQ(std::system(("cd '" + unpacked.string() + "' && cmake -E tar xf '" + zip + "'").c_str()), 0);
  const fs::path program = unpacked / "Fotolun" / "fotolun-cli.exe";
  ASSERT_TRUE(fs::is_regular_file(program));
  EXPECT_TRUE(fs::is_regular_file(unpacked / "Fotolun" / "使用说明.txt"));
  EXPECT_TRUE(fs::is_directory(unpacked / "Fotolun" / "licenses" / "curl"));
  unsetenv("FOTOLUN_SETTINGS");

  const std::string pick = std::to_string(numberOf("旅行2019")) + "," + std::to_string(numberOf("生日🎂快乐"));
  const std::vector<std::string> download = {"download", "--number", qq, "--mode", "hd", "--albums", pick};
  CliResult windows = runCliCopy(program.string(), withCommon(download));
  std::vector<std::string> onLinux = withCommon(download);
  onLinux.insert(onLinux.end(), {"--save", (folder.path() / "linux").string()});
  CliResult linux = runBuiltCli(onLinux);
  EXPECT_EQ(windows.exitCode, linux.exitCode) << windows.out << windows.err;
  EXPECT_EQ(windows.exitCode, 0) << windows.out << windows.err;
  EXPECT_TRUE(fs::is_regular_file(unpacked / "Fotolun" / "peizi.ini"));

  // Each photo's name ends in a random part of its own run.
  const auto saved = [](const fs::path& top) {
    std::map<std::string, std::string> out;
    const std::regex randomPart("_[0-9]+(\\.[A-Za-z0-9]+)$");
    for (const auto& entry : fs::recursive_directory_iterator(top)) {
      const std::string name = entry.path().filename().string();
      if (!entry.is_regular_file() || name == ".fotolun-archive" || name == "album.json" ||
          name.ends_with(".html"))
        continue;
      out[std::regex_replace(fs::relative(entry.path(), top).string(), randomPart, "$1")] =
          readAll(entry.path());
    }
    return out;
  };
  const auto fromWindows = saved(unpacked / "Fotolun" / qq), fromLinux = saved(folder.path() / "linux" / qq);
  EXPECT_EQ(fromWindows.size(), album("旅行2019").photos.size() + album("生日🎂快乐").photos.size());
  EXPECT_TRUE(fromWindows == fromLinux);
}

}  // namespace
}  // namespace fotolun::testing
