// The personal list against replies written for the case, where the stand-in's own are too well behaved.
#include <gtest/gtest.h>

#include <map>
#include <mutex>

#include "albums/album_list.h"
#include "form/locked_ui_thread.h"
#include "standin/http_server.h"
#include "support/scripted_form.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

using standin::Request;
using standin::Response;

// A service whose replies are looked up by path; it answers every host as a proxy.
class HandMadeService {
 public:
  HandMadeService()
      : server_([this](const Request& request) {
          std::lock_guard lock(mutex_);
          auto reply = replies_.find(request.path);
          return reply != replies_.end() ? reply->second : Response{404, {}, ""};
        }) {
    server_.start();
  }
  void answer(const std::string& path, Response response) {
    std::lock_guard lock(mutex_);
    replies_[path] = std::move(response);
  }
  standin::HttpServer& server() { return server_; }

 private:
  std::mutex mutex_;
  std::map<std::string, Response> replies_;
  standin::HttpServer server_;
};

class PersonalListReplies : public ::testing::Test {
 protected:
  PersonalListReplies() {
    program.proxy = service.server().proxyUrl();
    program.delayScale = 0;
    program.credentials.set(CredentialsFromCookieText("pt2gguin=o0010001; uin=o0010001; skey=@abc; RK=1"));
    form.setText(Control::编辑框_号码, "10001");
  }
  void list() {
    lists.onGetAlbums();
    lists.waitUntilListed();
  }

  HandMadeService service;
  testing::ScriptedForm form;
  LockedUiThread ui;
  Program program{form, ui};
  AlbumLists lists{program};
};

// Without an album host (no backup record, or one outside the service's domains, which must never
// be sent the session) the list is not asked for anywhere, and the user is told why.
TEST_F(PersonalListReplies, WithoutAnAlbumHostOfTheServiceTheListGoesNowhere) {
  std::size_t boxes = 0;
  for (const char* route : {R"({"default":"gz","route":[{"r":"gz","p":"gzup.photo.qq.com"}]})",
                            R"({"default":"gz","route":[{"r":"gz_bak","p":"evil.example.com"}]})"}) {
    service.server().clearRequests();
    service.answer("/GetRoute", {200, {}, route});
    list();
    ASSERT_EQ(service.server().requests().size(), 1u) << route;
    EXPECT_EQ(service.server().requests()[0].path, "/GetRoute");
    EXPECT_TRUE(program.waits.all().empty());
    ASSERT_EQ(form.boxes().size(), ++boxes);
    EXPECT_EQ(form.boxes().back().text, "获取相册列表失败：没有找到存放相册的服务器");
    EXPECT_EQ(lists.lastOutcome(), ListOutcome::failed);
    EXPECT_FALSE(form.visible(Control::画板1));
  }
  EXPECT_NE(form.log().find("存储路由指向服务以外的主机，不予访问：evil.example.com"), std::string::npos);
}

TEST_F(PersonalListReplies, CookiesTheServiceSetsJoinTheSession) {
  service.answer("/GetRoute",
                 {200, {}, R"({"default":"gz","route":[{"r":"gz_bak","p":"albums.photo.qq.com"}]})"});
  service.answer("/fcgi-bin/fcg_list_album_v2",
                 {200,
                  {{"Set-Cookie", "fresh=1; path=/; domain=qq.com"}},
                  R"({"data":{"album":[{"name":"one","total":3,"id":"V1a","question":"","pre":""}]}})"});
  list();
  ASSERT_EQ(service.server().requests().size(), 2u);
  const Request listRequest = service.server().requests()[1];
  EXPECT_EQ(listRequest.url,
            "http://albums.photo.qq.com/fcgi-bin/"
            "fcg_list_album_v2?hostUin=10001&format=json&plat=qzone&source=qzone&t=&g_tk=" +
                program.credentials.get().gTk);
  EXPECT_EQ(listRequest.header("Cookie"), "pt2gguin=o0010001; uin=o0010001; skey=@abc; RK=1");
  EXPECT_NE(program.credentials.get().cookieText.find("fresh=1"), std::string::npos)
      << program.credentials.get().cookieText;
  ASSERT_EQ(form.rowCount(), 1);
  EXPECT_EQ(form.cell(0, column::相册名称), "one");
}

// GBK characters may end in the byte of "\"; such a name must not break the reading of the reply.
TEST_F(PersonalListReplies, NamesWhoseCharactersEndInABackslashByteComeThrough) {
  const Text name = "\x95\x5C\xB1\xED";  // two GBK characters, the first ending in 0x5C
  ASSERT_EQ(GbkToUtf8(name).find('\\'), std::string::npos) << "a real GBK character, not a backslash";
  service.answer("/GetRoute",
                 {200, {}, R"({"default":"gz","route":[{"r":"gz_bak","p":"albums.photo.qq.com"}]})"});
  service.answer(
      "/fcgi-bin/fcg_list_album_v2",
      {200, {}, R"({"data":{"album":[{"name":")" + name + R"(","total":1,"id":"V1a","question":""}]}})"});
  list();
  ASSERT_EQ(form.rowCount(), 1);
  EXPECT_EQ(form.cell(0, column::相册名称), name);
  EXPECT_TRUE(form.boxes().empty());
}

}  // namespace
}  // namespace fotolun
