// Whole downloads through a service that throttles, fails and lies, and a disk that fills up. Whatever
// happens, every listed photo ends on disk byte for byte or is named in the log as failed, an
// album whose list never came is named too, the closing box says whether anything failed, the
// session goes to no foreign host and no temporary file stays behind.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <set>
#include <thread>

#include "download_fixture.h"
#include "names/path_names.h"
#include "standin/placeholder_gif.h"
#include "standin/replies.h"
#include "standin/session_check.h"
#include "text/encoding.h"

namespace fotolun::testing {
namespace {

using standin::Fault;
using standin::FaultKind;
using standin::Response;

Fault reply(Response response, int times = -1, int skip = 0) {
  Fault fault{FaultKind::Reply, times};
  fault.reply = std::move(response);
  fault.skip = skip;
  return fault;
}
// The gateway's throttle wall: a server error with nothing in it.
const Response kWall{500, {{"Server", "TAPISIX/3.2.0"}}, ""};
const Response kPlaceholder{200, {{"Content-Type", "image/gif"}}, standin::PlaceholderGif()};
const Response kBusy{200,
                     {{"Content-Type", "application/json"}},
                     R"({"code":-10000,"message":"使用人数过多，请稍后再试","data":{}})"};

enum class Mode { hd, original, group };

struct AlbumOutcome {
  std::string name;
  std::string countCell;         // as the list shows it; the folder name carries it
  std::set<int> failedPhotos{};  // 0-based, reported by name
  bool listingFails = false;     // named in the log as an album whose list never came
};

struct FaultCase {
  std::string title;
  Mode mode = Mode::hd;
  std::vector<AlbumOutcome> albums;
  std::function<void(standin::Standin&, const standin::PersonalAccount&)> inject;
  std::vector<std::string> logHas{};  // UTF-8
  bool signedOut = false;
  bool current = false;               // through today's https family, else the older one
  std::function<void()> alsoHolds{};  // what else the case checks once the run ended
  std::string endedEarly{};           // the closing box's start when the run ends before its last album
};

class FaultMatrix : public DownloadFixture {
 protected:
  FaultMatrix() {
    standin::Standin::writeCertificateAuthority((programFolder.path() / "ca.pem").string());
    program.caFile = (programFolder.path() / "ca.pem").string();
  }

  const standin::PersonalAccount& account = standin.data().ordinaryAccount();
  const standin::Group& group = standin.data().smallGroup();

  void check(const FaultCase& c);
};

const standin::PersonalAlbum& personal(const standin::PersonalAccount& account, const std::string& name) {
  for (const auto& album : account.albums)
    if (album.name == name) return album;
  throw std::runtime_error("no sample album " + name);
}

void FaultMatrix::check(const FaultCase& c) {
  SCOPED_TRACE(c.title);
  program.chooseFamily(c.current ? FamilyChoice::current : FamilyChoice::classic);
  if (c.mode == Mode::group) {
    chooseGroup(group);
  } else {
    choosePersonal(account, c.mode == Mode::hd);
  }
  int number = 0;
  for (const AlbumOutcome& album : c.albums) {
    const std::string id = c.mode == Mode::group ? group.albums[0].id : personal(account, album.name).id;
    addRow(std::to_string(++number), album.name, album.countCell, id);
  }
  c.inject(standin, account);
  runToEnd();

  const std::string log = form.log();
  int failedAlbums = 0;
  for (const AlbumOutcome& album : c.albums) {
    const std::vector<ExpectedPhoto> served =
        c.mode == Mode::group
            ? groupPhotos(standin, group.albums[0])
            : personalPhotos(standin, personal(account, album.name), c.mode == Mode::original);
    std::vector<ExpectedPhoto> saved;
    for (std::size_t i = 0; i < served.size(); ++i) {
      if (album.failedPhotos.count(static_cast<int>(i)) == 0 && !album.listingFails) {
        saved.push_back(served[i]);
      } else if (!album.listingFails) {
        EXPECT_NE(log.find("失败：" + served[i].name), std::string::npos) << served[i].name;
      }
    }
    const std::string folderNumber = c.mode == Mode::group ? group.number : account.qq;
    const std::string folderName = GbkToUtf8(folderComponent(gbk(album.name))) + album.countCell;
    expectPhotos(folder(folderNumber, folderName), saved);
    if (album.listingFails && !c.signedOut && c.endedEarly.empty()) {
      EXPECT_NE(log.find("相册《" + album.name + "》的照片列表获取失败："), std::string::npos) << log;
    }
    if (album.listingFails || !album.failedPhotos.empty()) ++failedAlbums;
  }
  for (const std::string& part : c.logHas)
    EXPECT_NE(log.find(part), std::string::npos) << part << "\n" << log;

  EXPECT_EQ(run->failedAlbums(), failedAlbums);
  EXPECT_EQ(run->signedOut(), c.signedOut);
  ASSERT_FALSE(form.boxes().empty());
  const std::string box = form.boxes().back().text;
  if (c.signedOut) {
    EXPECT_EQ(box.rfind("登录已失效", 0), 0u) << box;
  } else if (!c.endedEarly.empty()) {
    EXPECT_EQ(box.rfind(c.endedEarly, 0), 0u) << box;
  } else if (failedAlbums > 0) {
    EXPECT_EQ(box.rfind("下载结束，但有" + std::to_string(failedAlbums) + "个相册", 0), 0u) << box;
  } else {
    EXPECT_EQ(box, "全部下载完毕");
  }
  EXPECT_TRUE(standin.requestsLeakingCookies().empty());
  for (const auto& [path, bytes] : allFiles()) {
    EXPECT_EQ(path.find("/.photo-"), std::string::npos) << path;
    EXPECT_NE(bytes, standin::PlaceholderGif()) << "a placeholder saved as " << path;
  }
  if (c.alsoHolds) c.alsoHolds();
}

TEST_F(FaultMatrix, EveryPhotoIsSavedWholeOrReported) {
  const auto& travel = personal(account, "旅行2019");
  const std::string route = R"({"default":"gz","route":[{"r":"gz_bak","p":"evil.example.com"}]})";
  const std::vector<FaultCase> cases = {
      {"a busy listing is waited out",
       Mode::hd,
       {{"旅行2019", "12"}},
       [](auto& s, auto&) { s.server().addFault("/p/plist.photo/", reply(kBusy, 3)); },
       {"服务器繁忙，"}},
      {"a busy photo host is waited out as long as it asks",
       Mode::hd,
       {{"旅行2019", "12"}},
       [&](auto& s, auto&) {
         s.server().addFault(travel.photos[3].url, reply({429, {{"Retry-After", "7"}}, "slow down"}, 2));
       },
       {"服务器繁忙，7秒后重试"}},
      {"a listing busy past the patience ends the run, the albums not finished named",
       Mode::hd,
       {{"旅行2019", "12", {}, true}, {"心情日记", "2", {}, true}},
       [&](auto& s, auto&) {
         s.server().addFault("topicId=" + travel.id, reply({503, {}, ""}));
       },
       {"服务器持续繁忙或没有回应（HTTP 503），等了30分钟仍未恢复，下载停止，剩下的2个相册没有下载。",
        "以后再运行一次，会从这次停下的地方接着下载", "有2个相册没有完整下载：《旅行2019》《心情日记》"},
       false,
       false,
       {},
       "服务器持续繁忙，下载提前结束：有2个相册没有下载完"},
      {"a wall of empty server errors shorter than the patience is waited out",
       Mode::hd,
       {{"旅行2019", "12"}},
       [&](auto& s, auto&) { s.server().addFault(travel.photos[2].url, reply(kWall, 6)); },
       {"服务器没有回应，"}},
      {"a photo served as the placeholder for good fails by name after one fresh listing",
       Mode::hd,
       {{"旅行2019", "12", {3}}},
       [&](auto& s, auto&) { s.server().addFault(travel.photos[3].url, reply(kPlaceholder)); },
       {"有1张图片服务给出了占位图，重新获取列表后再试一次", "服务给出了占位图（96×96）"}},
      {"a placeholder that a fresh listing mends is saved",
       Mode::hd,
       {{"旅行2019", "12"}},
       [&](auto& s, auto&) { s.server().addFault(travel.photos[3].url, reply(kPlaceholder, 1)); },
       {"重新获取列表后再试一次"}},
      {"placeholders photo after photo end the run: the session's photo access is broken",
       Mode::hd,
       {{"五百张", "500", {}, true}, {"心情日记", "2", {}, true}},
       [](auto& s, auto&) { s.server().addFault("/psb?/", reply(kPlaceholder)); },
       {"连续20张照片服务都只给出了占位图（服务给出了占位图（96×96））"},
       false,
       false,
       {},
       "服务只给出占位图，下载提前结束"},
      {"error pages and JSON where pictures should be are no photos",
       Mode::hd,
       {{"旅行2019", "12", {0, 1}}},
       [&](auto& s, auto&) {
         s.server().addFault(travel.photos[0].url,
                             reply({200, {{"Content-Type", "text/html"}}, "<html>系统繁忙</html>"}));
         s.server().addFault(travel.photos[1].url, reply(kBusy));
       },
       {"（内容不是图片）"}},
      {"a body cut mid-way is fetched again",
       Mode::hd,
       {{"旅行2019", "12"}},
       [&](auto& s, auto&) {
         s.server().addFault(travel.photos[2].url, Fault{FaultKind::DropMidBody, 1});
       }},
      {"an absurd count costs one more page, no more",
       Mode::hd,
       {{"旅行2019", "999999999"}},
       [](auto&, auto&) {}},
      {"a count too small does not cut the album short",
       Mode::original,
       {{"旅行2019", "2"}},
       [](auto&, auto&) {}},
      {"a listing that is no JSON is reported",
       Mode::hd,
       {{"旅行2019", "12", {}, true}},
       [&](auto& s, auto&) { s.server().addFault("topicId=" + travel.id, Fault{FaultKind::NotJson}); },
       {"回复不是JSON"}},
      {"a reply without the photo list is reported",
       Mode::group,
       {{"聚会/2019", "3", {}, true}},
       [](auto& s, auto&) {
         s.server().addFault("qun_list_photo_v2", reply({200, {}, R"({"code":0,"data":{}})"}));
       },
       {"data.photos"}},
      {"a busy group listing is waited out",
       Mode::group,
       {{"聚会/2019", "3"}},
       [](auto& s, auto&) { s.server().addFault("qun_list_photo_v2", reply(kBusy, 2)); }},
      {"an album host outside the service is never asked",
       Mode::original,
       {{"旅行2019", "12", {}, true}},
       [&](auto& s, auto&) {
         s.server().addFault("/GetRoute", reply({200, {}, route}));
       },
       {"存储路由指向服务以外的主机，不予访问：evil.example.com", "没有找到存放相册的服务器"}},
      {"a session that expires mid-run ends the run early",
       Mode::hd,
       {{"旅行2019", "12"}, {"心情日记", "2", {}, true}, {"v1.0 final.", "2", {}, true}},
       [](auto& s, auto&) {
         s.server().addFault("/p/plist.photo/", reply({200, {}, standin::NotSignedInJson()}, -1, 1));
       },
       {"剩下的2个相册没有下载。请点“1.登录”重新登录后再下载",
        "有2个相册没有完整下载：《心情日记》《v1.0 final.》"},
       true},
      {"today's photo key goes back with the next list and with every photo, and is kept",
       Mode::hd,
       {{"旅行2019", "12"}, {"心情日记", "2"}},
       [](auto&, auto&) {},
       {},
       false,
       true,
       [&] {
         std::set<std::string> keys;
         int without = 0;
         for (const auto& request : requestsTo("cgi_list_photo")) {
           const auto key = standin::RequestCookie(request, standin::kPhotoKeyCookie);
           key ? void(keys.insert(*key)) : void(++without);
         }
         ASSERT_EQ(keys.size(), 1u) << "one key, carried from the first list on";
         EXPECT_LE(without, 1);
         EXPECT_NE(
             GbkToUtf8(wholeSessionCookies(program.credentials.get())).find("qq_photo_key=" + *keys.begin()),
             std::string::npos)
             << "the session keeps it, and a cookies.txt written from it";
       }},
      {"the service's own cookies go where their domain, path and expiry say",
       Mode::hd,
       {{"旅行2019", "12"}},
       [](auto& s, auto&) {
         Fault setting{FaultKind::AddHeaders};
         setting.reply.headers = {{"Set-Cookie", "scoped=1; Domain=.qq.com; Path=/psb"},
                                  {"Set-Cookie", "hostonly=2; Path=/"},
                                  {"Set-Cookie", "stale=3; Path=/; Max-Age=0"}};
         s.server().addFault("cgi_list_photo", setting);
       },
       {},
       false,
       true,
       [&] {
         int scopedPhotos = 0;
         for (const auto& request : requests()) {
           const auto has = [&](const char* name) {
             return standin::RequestCookie(request, name).has_value();
           };
           const bool onQq = request.host.ends_with(".qq.com");
           EXPECT_EQ(has("scoped"), onQq && request.path == "/psb") << request.url;
           scopedPhotos += has("scoped") ? 1 : 0;
           EXPECT_TRUE(request.host == "user.qzone.qq.com" || !has("hostonly")) << request.url;
           EXPECT_FALSE(has("stale")) << request.url;
         }
         EXPECT_GT(scopedPhotos, 0);
         const std::string session = GbkToUtf8(wholeSessionCookies(program.credentials.get()));
         EXPECT_NE(session.find("scoped=1"), std::string::npos) << session;
         EXPECT_EQ(session.find("stale="), std::string::npos) << session;
       }},
      {"a refusal of the request's form is reported, not waited out",
       Mode::hd,
       {{"旅行2019", "12", {}, true}},
       [&](auto& s, auto&) {
         s.server().addFault("topicId=" + travel.id,
                             reply({200, {}, R"(shine_Callback({"code":-10049,"message":"x","data":{}}))"}));
       },
       {"-10049", "服务拒绝了这种形式的请求"},
       false,
       true,
       [&] { EXPECT_EQ(requestsTo("topicId=" + travel.id).size(), 1u); }},
  };
  for (const FaultCase& c : cases) {
    check(c);
    EXPECT_TRUE(requestsTo("evil.example.com").empty());
    // The next case starts afresh: its own faults, list, folders and log.
    standin.server().clearFaults();
    standin.server().clearRequests();
    form.deleteAllRows();
    form.clearChanges();
    std::filesystem::remove_all(saveFolder / account.qq);
    std::filesystem::remove_all(saveFolder / group.number);
    run = std::make_unique<DownloadRun>(program);
  }
}

// A stop during a back-off acts at once, not when the wait is over.
TEST_F(FaultMatrix, AStopCutsABackOffShort) {
  choosePersonal(account, true);
  addPersonalRow(personal(account, "旅行2019"), 1);
  standin.server().addFault("/p/plist.photo/", reply(kBusy));
  program.delayScale = 1;  // real waits: the first is about two seconds, the later ones longer
  start();
  auto announced = [&] {
    bool found = false;
    ui.send([&] { found = form.log().find("服务器繁忙，") != std::string::npos; });
    return found;
  };
  while (!announced()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const auto asked = std::chrono::steady_clock::now();
  form.queueAnswer(MessageAnswer::Ok);
  ui.send([&] { run->stopDownload(); });
  run->waitForWorker();
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(1000));
  EXPECT_EQ(requestsTo("/p/plist.photo/").size(), 1u);
}

// A full disk: every photo fails to be written, is named, and leaves no temporary file. A limit on
// the size of written files stands in for it, which binds root too.
TEST_F(FaultMatrix, ADiskThatFillsUpLosesNothingSilently) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit before{};
  getrlimit(RLIMIT_FSIZE, &before);
  rlimit tiny = before;
  tiny.rlim_cur = 4096;  // smaller than any sample photo
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
  check({"disk full", Mode::hd, {{"心情日记", "2", {0, 1}}}, [](auto&, auto&) {}, {"图片保存失败："}});
  setrlimit(RLIMIT_FSIZE, &before);
}

}  // namespace
}  // namespace fotolun::testing
