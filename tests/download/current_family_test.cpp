// The https endpoint family end to end: album lists in each of the service's shapes, paged by
// nextPageStart, downloads at both sizes and of groups, videos, closed albums, the automatic move
// from the older family, the cookie store's p_skey and a wrong certificate authority.
#include <gtest/gtest.h>

#include "albums/album_list.h"
#include "download_fixture.h"
#include "names/clean_file_name.h"
#include "service/current_headers.h"
#include "standin/replies.h"
#include "standin/sign_in_cookies.h"
#include "text/encoding.h"

namespace fotolun::testing {
namespace {

standin::StandinOptions smallAlbumPages() {
  standin::StandinOptions options;
  options.seed = 11;
  options.currentAlbumPage = 2;  // every list pages, as a long one does
  return options;
}

class CurrentFamily : public DownloadFixture {
 protected:
  CurrentFamily() : DownloadFixture(smallAlbumPages()) {
    standin::Standin::writeCertificateAuthority((programFolder.path() / "ca.pem").string());
    program.caFile = (programFolder.path() / "ca.pem").string();
    program.chooseFamily(FamilyChoice::current);
  }

  ListOutcome list(const std::string& number, bool group) {
    form.setCurrentIndex(Control::组合框1, group ? 1 : 0);
    form.setText(Control::编辑框_号码, number);
    lists.onGetAlbums();
    lists.waitUntilListed();
    return lists.lastOutcome();
  }
  // Leaves checked only the listed rows whose album id is in ids.
  void checkOnly(const std::vector<std::string>& ids) {
    for (int row = 0; row < form.rowCount(); ++row)
      form.setRowChecked(row, std::find(ids.begin(), ids.end(), form.cell(row, column::相册ID)) != ids.end());
  }
  std::filesystem::path albumFolder(const std::string& number, const std::string& name, std::size_t count) {
    return folder(number, GbkToUtf8(cleanFileName(gbk(name))) + std::to_string(count));
  }
  // The sample's names that the program keeps as they are (the older family's tests cover the rest).
  static bool plainNames(const standin::PersonalAlbum& album) {
    const auto plain = [](const std::string& name) {
      return !name.empty() && GbkToUtf8(cleanFileName(TrimSpaces(gbk(name)))) == name &&
             name.find('"') == std::string::npos;
    };
    if (!plain(album.name)) return false;
    for (const auto& photo : album.photos)
      if (!photo.hasTitle || !plain(photo.title)) return false;
    return true;
  }
  // Files of a folder whose name ends so, by bytes.
  static std::multiset<std::string> bytesOf(const std::filesystem::path& folder, const std::string& ending) {
    std::multiset<std::string> out;
    for (const auto& [name, bytes] : filesIn(folder))
      if (name.ends_with(ending)) out.insert(bytes);
    return out;
  }
  // The copy the https family saves at full size: the raw upload, else the original's address,
  // else the ordinary one.
  std::vector<ExpectedPhoto> fullSizePhotos(const standin::PersonalAlbum& album) {
    std::vector<ExpectedPhoto> out = personalPhotos(standin, album, false);
    for (std::size_t i = 0; i < out.size(); ++i) {
      const standin::PersonalPhoto& photo = album.photos[i];
      if (photo.raw != standin::RawAddress::Null) out[i].bytes = standin.photoBytes(photo.rawUrl);
    }
    return out;
  }

  AlbumLists lists{program};
};

TEST_F(CurrentFamily, EveryListShapeListsWholeAndDownloadsAtBothSizes) {
  const standin::SampleData& data = standin.data();
  for (const standin::PersonalAccount* account :
       {&data.ordinaryAccount(), &data.classifiedAccount(), &data.plainListAccount()}) {
    for (const bool hd : {true, false}) {
      SCOPED_TRACE(account->qq + (hd ? " hd" : " original"));
      choosePersonal(*account, hd);
      standin.server().clearRequests();
      ASSERT_EQ(list(account->qq, false), ListOutcome::listed) << form.log();
      ASSERT_EQ(form.rowCount(), static_cast<int>(account->albums.size()));
      EXPECT_EQ(requestsTo("fcg_list_album_v3").size(), (account->albums.size() + 1) / 2);
      EXPECT_TRUE(requestsTo("fcg_list_album_v2").empty());
      std::vector<std::string> small;
      for (const auto& album : account->albums)
        if (album.photoCount() > 0 && album.photoCount() <= 40 && plainNames(album))
          small.push_back(album.id);
      ASSERT_FALSE(small.empty());
      checkOnly(small);
      runToEnd();
      for (const auto& album : account->albums) {
        if (std::find(small.begin(), small.end(), album.id) == small.end()) continue;
        expectPhotos(albumFolder(account->qq, album.name, album.photos.size()),
                     hd ? personalPhotos(standin, album, false) : fullSizePhotos(album));
      }
      // Photo lists and the viewer go over TLS with the whole session and the page's Referer.
      for (const auto& request : requestsTo("/proxy/domain/")) {
        EXPECT_TRUE(request.tls) << request.url;
        EXPECT_EQ(request.header("Origin"), "https://user.qzone.qq.com");
        EXPECT_EQ(request.header("User-Agent"), std::string(kBrowserAgent));
        EXPECT_EQ(request.header("Content-Type"), "");
        EXPECT_NE(request.header("Cookie").find("p_skey="), std::string::npos);
      }
      std::filesystem::remove_all(saveFolder / account->qq);
    }
  }
}

TEST_F(CurrentFamily, ProtectedAndClosedAlbumsAreMarkedAndReported) {
  const standin::PersonalAccount& owner = standin.data().classifiedAccount();
  signIn(standin.data().ordinaryAccount().qq);
  ASSERT_EQ(list(owner.qq, false), ListOutcome::listed);
  const standin::PersonalAlbum& locked = owner.albums[2];
  int lockedRow = -1;
  for (int row = 0; row < form.rowCount(); ++row)
    if (form.cell(row, column::相册ID) == locked.id) lockedRow = row;
  ASSERT_NE(lockedRow, -1);
  EXPECT_EQ(GbkToUtf8(form.cell(lockedRow, column::相册问题)), locked.question);
  checkOnly({locked.id});
  runToEnd();
  EXPECT_NE(form.log().find("相册《" + locked.name + "》的照片列表获取失败"), std::string::npos)
      << form.log();
  EXPECT_EQ(run->failedAlbums(), 1);

  // A group the user is not in, and a closed album of one they are in.
  EXPECT_EQ(list(standin.data().closedGroup().number, true), ListOutcome::noPermission);
  EXPECT_NE(form.log().find("对不起"), std::string::npos);
}

TEST_F(CurrentFamily, VideosAreSavedAsTheirFilesAndAPlaylistIsNamed) {
  const standin::PersonalAccount& account = standin.data().videoAccount();
  const standin::PersonalAlbum& album = account.albums[0];
  choosePersonal(account, true);
  addPersonalRow(album, 1);
  // The upload's address refused for one video: the copy the service plays is saved instead.
  const auto refused = std::find_if(album.photos.begin(), album.photos.end(), [](const auto& photo) {
    return photo.video && !photo.video->isPlaylist() && !photo.video->downloadUrl.empty();
  });
  ASSERT_NE(refused, album.photos.end());
  const std::string& refusedUrl = refused->video->downloadUrl;
  standin.server().addFault(refusedUrl.substr(refusedUrl.find("://") + 3),
                            standin::Fault{standin::FaultKind::HttpError, -1, {}, 403});
  runToEnd();
  const auto saved = albumFolder(account.qq, album.name, album.photos.size());
  std::multiset<std::string> pictures, videos;
  std::string playlistTitle;
  for (const auto& photo : album.photos) {
    if (!photo.video) {
      pictures.insert(standin.photoBytes(photo.url));
    } else if (photo.video->isPlaylist()) {
      playlistTitle = photo.title;
    } else {
      const std::string& file = photo.video->downloadUrl.empty() || &photo == &*refused
                                    ? photo.video->videoUrl
                                    : photo.video->downloadUrl;
      videos.insert(standin.photoBytes(file));
    }
  }
  EXPECT_NE(form.log().find("视频的原文件无法下载（HTTP 403），已保存在线播放用的副本：" + refused->title),
            std::string::npos)
      << form.log();
  EXPECT_EQ(bytesOf(saved, ".jpg"), pictures);
  EXPECT_EQ(bytesOf(saved, ".mp4"), videos);
  EXPECT_EQ(filesIn(saved).size(), pictures.size() + videos.size());
  EXPECT_NE(form.log().find("视频无法下载：" + playlistTitle + "（只有在线播放列表（m3u8）"),
            std::string::npos)
      << form.log();
  EXPECT_EQ(run->failedPhotos(), 1);
  EXPECT_EQ(requestsTo("cgi_floatview_photo_list_v2").size(), 1u) << "one batch tells of every video";
  // Pictures and videos are asked for as the album's page asks: a browser's agent, its Referer.
  for (const auto& request : requests()) {
    if (request.path.rfind("/proxy/", 0) == 0) continue;
    EXPECT_EQ(request.header("Referer"), "https://user.qzone.qq.com/" + account.qq + "/4") << request.url;
    EXPECT_EQ(request.header("User-Agent"), std::string(kBrowserAgent));
    EXPECT_EQ(request.header("Content-Type"), "");
    EXPECT_EQ(request.header("Range"), request.url.ends_with(".mp4") ? "bytes=0-" : "") << request.url;
  }

  // A group's videos come with the photo list; its albums put their photos under any of three names.
  const standin::Group& group = standin.data().videoGroup();
  chooseGroup(group);
  ASSERT_EQ(list(group.number, true), ListOutcome::listed);
  ASSERT_EQ(form.rowCount(), static_cast<int>(group.albums.size()));
  runToEnd();
  for (const auto& groupAlbum : group.albums) {
    const auto where = albumFolder(group.number, groupAlbum.title, groupAlbum.photos.size());
    if (groupAlbum.closed) {
      EXPECT_TRUE(filesIn(where).empty());
      EXPECT_NE(form.log().find("相册《" + groupAlbum.title + "》的照片列表获取失败"), std::string::npos);
      continue;
    }
    std::size_t videoCount = 0;
    for (const auto& photo : groupAlbum.photos) videoCount += photo.video ? 1 : 0;
    EXPECT_EQ(bytesOf(where, ".mp4").size(), videoCount) << groupAlbum.title;
    EXPECT_EQ(filesIn(where).size(), groupAlbum.photos.size()) << groupAlbum.title;
  }
}

// A video is asked for from its first byte, as a player asks; a 206 with the whole file is the
// video, one with a part of it is not saved.
TEST_F(CurrentFamily, AVideoAnsweredWithOnlyAPartIsNotSaved) {
  const standin::PersonalAccount& account = standin.data().videoAccount();
  const standin::PersonalAlbum& album = account.albums[0];
  const standin::PersonalPhoto* cut = nullptr;
  for (const auto& photo : album.photos)
    if (photo.video && !photo.video->isPlaylist() && !photo.video->downloadUrl.empty()) cut = &photo;
  ASSERT_NE(cut, nullptr);
  const std::string file = standin.photoBytes(cut->video->downloadUrl);
  standin.server().addFault(cut->video->downloadUrl,
                            standin::Fault{standin::FaultKind::Reply,
                                           -1,
                                           {},
                                           0,
                                           0,
                                           {206,
                                            {{"Content-Type", "video/mp4"},
                                             {"Content-Range", "bytes 0-99/" + std::to_string(file.size())}},
                                            file.substr(0, 100)}});
  choosePersonal(account, true);
  addPersonalRow(album, 1);
  runToEnd();
  // The part is never the video; the copy the service plays stands in for it.
  EXPECT_NE(form.log().find(
                "视频的原文件无法下载（服务只给出了文件的一部分（HTTP 206）），已保存在线播放用的副本：" +
                cut->title),
            std::string::npos)
      << form.log();
  EXPECT_EQ(run->failedPhotos(), 1) << "the playlist alone";
  for (const auto& [name, bytes] : filesIn(albumFolder(account.qq, album.name, album.photos.size())))
    EXPECT_NE(bytes, file.substr(0, 100)) << name;
}

// What the automatic choice does with each answer of the older family's album list.
TEST_F(CurrentFamily, AutomaticChoiceMovesOnlyWhenTheOlderFamilyGivesNoList) {
  const standin::PersonalAccount& account = standin.data().ordinaryAccount();
  const auto refuse = [](const std::string& json) {
    standin::Fault fault;
    fault.kind = standin::FaultKind::Reply;
    fault.reply = standin::JsonReply(json);
    return fault;
  };
  standin::Fault missing;
  missing.kind = standin::FaultKind::HttpError;
  missing.status = 404;
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, standin::Fault>> faults;
    ListOutcome outcome;
    ServiceFamily family;
    bool askedNewer;
  };
  const std::vector<Case> cases = {
      {"older family answers", {}, ListOutcome::listed, ServiceFamily::classic, false},
      {"older family retired", {{"GetRoute", missing}}, ListOutcome::listed, ServiceFamily::current, true},
      {"older family says signed out",
       {{"fcg_list_album_v2", refuse(standin::NotSignedInJson())}},
       ListOutcome::listed,
       ServiceFamily::current,
       true},
      {"both say signed out",
       {{"fcg_list_album_v2", refuse(standin::NotSignedInJson())},
        {"fcg_list_album_v3", refuse(standin::CurrentNotSignedInJson())}},
       ListOutcome::notSignedIn,
       ServiceFamily::classic,
       false},
      {"older silent, newer busy for good",
       {{"fcg_list_album_v2", refuse("")}, {"fcg_list_album_v3", refuse(R"({"code":-10000,"message":""})")}},
       ListOutcome::notSignedIn,
       ServiceFamily::classic,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    standin.server().clearFaults();
    for (const auto& [part, fault] : c.faults) standin.server().addFault(part, fault);
    form.clearChanges();
    program.chooseFamily(FamilyChoice::automatic);
    signIn(account.qq);
    const std::size_t logBefore = form.log().size();
    EXPECT_EQ(list(account.qq, false), c.outcome) << form.log();
    EXPECT_EQ(program.family, c.family);
    if (c.outcome == ListOutcome::listed) {
      EXPECT_EQ(form.rowCount(), static_cast<int>(account.albums.size()));
    } else {
      EXPECT_EQ(form.boxes().back().text, "请先登录");
    }
    EXPECT_EQ(form.log().find("改用https接口再试", logBefore) != std::string::npos, c.askedNewer);
  }
}

// The automatic choice starts with the family that answered last time and falls back to the other.
TEST_F(CurrentFamily, AutomaticChoiceStartsWithTheFamilyThatAnsweredLastTime) {
  const standin::PersonalAccount& account = standin.data().ordinaryAccount();
  std::vector<ServiceFamily> kept;
  program.familyAnswered = [&](ServiceFamily family) { kept.push_back(family); };
  program.rememberedFamily = ServiceFamily::current;
  signIn(account.qq);

  program.chooseFamily(FamilyChoice::automatic);
  EXPECT_EQ(list(account.qq, false), ListOutcome::listed);
  EXPECT_TRUE(requestsTo("fcg_list_album_v2").empty()) << "the older family is not asked first";
  EXPECT_NE(form.log().find("这次先用https接口"), std::string::npos);
  EXPECT_TRUE(kept.empty()) << "nothing new to keep";

  standin::Fault retired{standin::FaultKind::Reply};
  retired.reply = standin::JsonReply(standin::CurrentNotSignedInJson());
  standin.server().addFault("fcg_list_album_v3", retired);
  program.chooseFamily(FamilyChoice::automatic);
  EXPECT_EQ(list(account.qq, false), ListOutcome::listed);
  EXPECT_EQ(program.family, ServiceFamily::classic);
  EXPECT_NE(form.log().find("https接口没有给出相册列表"), std::string::npos) << form.log();
  EXPECT_EQ(kept, std::vector<ServiceFamily>{ServiceFamily::classic});
}

// The remembered family first, whichever it is: one that is not there at all is left for the other
// at once (no tunnel) or after its own quick tries (no answer), never waited out within the
// patience; one that answers with a wall is waited out and kept.
TEST_F(CurrentFamily, AFamilyThatIsNotThereIsLeftAtOnceAndAWallIsWaitedOut) {
  const standin::PersonalAccount& account = standin.data().ordinaryAccount();
  standin::Fault silence{standin::FaultKind::DropBeforeBody};
  standin::Fault wall{standin::FaultKind::Reply, 3};
  wall.reply.status = 502;  // the gateway's wall: no body at all
  struct Case {
    const char* what;
    ServiceFamily remembered;
    bool refuseTunnels;
    std::vector<std::pair<std::string, standin::Fault>> faults;
    ServiceFamily listedBy;
    const char* logLine;  // "" when the family is kept
    std::vector<int> waits;
  };
  const std::vector<int> floorPauses(9, 2000);
  const std::vector<Case> cases = {
      {"https remembered, no tunnel",
       ServiceFamily::current,
       true,
       {},
       ServiceFamily::classic,
       "https接口没有给出相册列表（连不上服务器），改用旧接口再试",
       {}},
      {"older remembered, no answer",
       ServiceFamily::classic,
       false,
       {{"fcg_list_album_v2", silence}},
       ServiceFamily::current,
       "旧接口没有给出相册列表（没有回应），改用https接口再试",
       floorPauses},
      {"https remembered, a wall of empty 502s",
       ServiceFamily::current,
       false,
       {{"fcg_list_album_v3", wall}},
       ServiceFamily::current,
       "",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    standin.server().clearFaults();
    standin.server().refuseTunnels(c.refuseTunnels);
    for (const auto& [part, fault] : c.faults) standin.server().addFault(part, fault);
    program.rememberedFamily = c.remembered;
    program.chooseFamily(FamilyChoice::automatic);
    signIn(account.qq);
    program.waits.clear();
    const std::size_t logBefore = form.log().size();
    ASSERT_EQ(list(account.qq, false), ListOutcome::listed) << form.log().substr(logBefore);
    EXPECT_EQ(program.family, c.listedBy);
    EXPECT_EQ(form.rowCount(), static_cast<int>(account.albums.size()));
    const std::string log = form.log().substr(logBefore);
    if (*c.logLine) {
      EXPECT_NE(log.find(c.logLine), std::string::npos) << log;
      EXPECT_EQ(program.waits.all(), c.waits) << "not waited out within the patience";
    } else {
      EXPECT_EQ(log.find("改用"), std::string::npos) << log;
      EXPECT_EQ(program.waits.all().size(), 3u) << "the wall is waited out, once a reply";
    }
  }
  standin.server().refuseTunnels(false);
}

TEST_F(CurrentFamily, TheCookieStoresPSkeyGoesOnlyToTheHttpsEndpointsAndAWrongAuthorityFails) {
  const standin::PersonalAccount& account = standin.data().ordinaryAccount();
  signIn(account.qq);
  // The browser's script saw no p_skey: it was set HttpOnly and only the cookie store holds it.
  SessionCredentials session = CredentialsFromCookieText(standin.signInCookieText(account.qq));
  const std::string pSkey = standin::PSkeyFor(standin.data().seed(), account.qq);
  session.cookieText = ReplaceText(session.cookieText, "p_skey=" + pSkey, "other=1");
  session.storeCookies = "p_skey=" + pSkey;
  program.credentials.set(session);
  program.chooseFamily(FamilyChoice::automatic);
  standin.server().addFault("GetRoute", standin::Fault{standin::FaultKind::HttpError, -1, {}, 404});
  ASSERT_EQ(list(account.qq, false), ListOutcome::listed) << form.log();
  for (const auto& request : requestsTo("fcg_list_album_v3")) {
    EXPECT_NE(request.header("Cookie").find("p_skey=" + pSkey), std::string::npos);
    EXPECT_NE(request.url.find("g_tk=" + computeGTk("skey=" + pSkey)), std::string::npos) << request.url;
  }
  for (const auto& request : requestsTo("GetRoute"))
    EXPECT_EQ(request.header("Cookie").find("p_skey"), std::string::npos);

  // Certificates stay verified: without the stand-in's authority (the system's alone) it fails.
  program.caFile = "";
  program.chooseFamily(FamilyChoice::current);
  EXPECT_EQ(list(account.qq, false), ListOutcome::failed);
  EXPECT_NE(form.boxes().back().text.find("获取相册列表失败：https证书验证失败"), std::string::npos)
      << form.boxes().back().text;
  EXPECT_TRUE(program.waits.all().empty()) << "a certificate that does not check out is not asked again";
}

}  // namespace
}  // namespace fotolun::testing
