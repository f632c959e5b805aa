#include "app/version_check.h"

#include <gtest/gtest.h>

#include <atomic>

#include "app_fixtures.h"
#include "standin/http_server.h"

namespace fotolun {
namespace {

using testing::gbk;
using testing::ScriptedForm;

TEST(VersionNumber, OnlyDecimalNumbersAreNumbers) {
  EXPECT_EQ(versionNumber("1.4"), 1.4);
  EXPECT_EQ(versionNumber("2"), 2.0);
  EXPECT_EQ(versionNumber(" 1.5\r\n"), 1.5);
  for (const char* text : {"", "abc", "1.4.1", "1.", ".5", "-1", "1,5", "v1.5", "1.5beta", "1e3", "0x10"}) {
    EXPECT_FALSE(versionNumber(text).has_value()) << text;
  }
}

TEST(VersionNumber, NewerMeansGreaterByMoreThanRoundingNoise) {
  EXPECT_TRUE(isNewerVersion("1.5", "1.4"));
  EXPECT_TRUE(isNewerVersion("2", "1.4"));
  EXPECT_FALSE(isNewerVersion("1.4", "1.4"));
  EXPECT_FALSE(isNewerVersion("1.40", "1.4"));
  EXPECT_FALSE(isNewerVersion("1.3", "1.4"));
  EXPECT_FALSE(isNewerVersion("1.10", "1.4")) << "compared as decimal numbers, not as dotted parts";
  EXPECT_FALSE(isNewerVersion("9.9z", "1.4"));
  EXPECT_FALSE(isNewerVersion("", "1.4"));
  EXPECT_FALSE(isNewerVersion("2", "dev"));
}

class VersionCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server.start();
    form.setText(Control::标签_banben, "1.4");
  }
  void check() { checkForNewVersion(form, "http://fotolun.test/update.txt", server.proxyUrl()); }
  std::string latest() const { return form.textOf(Control::标签_zxbanben); }
  std::string result() const { return form.textOf(Control::标签_banbenjieguo); }

  std::string page;
  standin::HttpServer server{[this](const standin::Request&) { return standin::Response{200, {}, page}; }};
  ScriptedForm form;
};

TEST_F(VersionCheckTest, TheSameVersionNeedsNoUpdate) {
  page = "#other@@9.0#other\n#fotolun@@1.4#fotolun\n";
  check();
  EXPECT_EQ(latest(), "1.4");
  EXPECT_EQ(result(), "无需更新");
  EXPECT_TRUE(form.boxes().empty());
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0].url, "http://fotolun.test/update.txt");
  EXPECT_EQ(server.requests()[0].method, "GET");
}

TEST_F(VersionCheckTest, ANewerVersionIsShownAndAnnounced) {
  page = "#fotolun@@1.5#fotolun";
  check();
  EXPECT_EQ(latest(), "1.5");
  const std::string notice = "有新版，联系客服获取最新版或打开作者主页去下载";
  EXPECT_EQ(result(), notice);
  ASSERT_EQ(form.boxes().size(), 1u);
  EXPECT_EQ(form.boxes()[0].text, notice);
  EXPECT_EQ(form.boxes()[0].caption, "");
  EXPECT_EQ(form.boxes()[0].buttons, MessageButtons::Ok);
}

TEST_F(VersionCheckTest, OlderOrNonNumericVersionsLeaveTheResultAlone) {
  for (const char* listed : {"1.3", "1.40", "beta", "1.5.1"}) {
    page = std::string("#fotolun@@") + listed + "#fotolun";
    check();
    EXPECT_EQ(latest(), listed);
    EXPECT_EQ(result(), "等待检测") << listed;
  }
  EXPECT_TRUE(form.boxes().empty());
}

TEST_F(VersionCheckTest, APageWithoutTheMarkerEmptiesTheLatestVersion) {
  form.setText(Control::标签_zxbanben, "old");
  page = "nothing here";
  check();
  EXPECT_EQ(latest(), "");
  EXPECT_EQ(result(), "等待检测");
}

TEST_F(VersionCheckTest, AnUnreachablePageIsNotReported) {
  form.setText(Control::标签_zxbanben, "old");
  const std::string proxy = server.proxyUrl();
  server.stop();
  checkForNewVersion(form, "http://fotolun.test/update.txt", proxy);
  EXPECT_EQ(latest(), "");
  EXPECT_EQ(result(), "等待检测");
  EXPECT_TRUE(form.boxes().empty());
}

TEST_F(VersionCheckTest, ThePageIsTakenAsBytesWithoutConversion) {
  page = gbk("#fotolun@@1.4#fotolun 中文");
  check();
  EXPECT_EQ(result(), "无需更新");
  page = "#fotolun@@\xC3\xA9#fotolun";  // UTF-8 bytes stay as they are
  check();
  EXPECT_EQ(form.text(Control::标签_zxbanben), "\xC3\xA9");
}

}  // namespace
}  // namespace fotolun
