// The rules that decide what a reply amounts to, how long to wait before asking again, what a
// picture is and how far an album is paged.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "download/image_kind.h"
#include "download/image_size.h"
#include "download/listing_outcome.h"
#include "net/content_range.h"
#include "net/request_headers.h"
#include "net/response_cookies.h"
#include "net/url_parts.h"
#include "service/backoff.h"
#include "service/reply_verdict.h"
#include "standin/picture_bytes.h"
#include "standin/placeholder_gif.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

TEST(ReplyVerdict, TellsAListFromEveryWayOfNotBeingOne) {
  const ReplyShape photos{"photoList"};
  struct Case {
    std::string body;
    int status;
    std::string headers;
    ReplyProblem problem;
    std::string reason;  // UTF-8, a part of it
    int retryAfter = -1;
  };
  const std::vector<Case> cases = {
      {R"({"code":0,"data":{"photoList":[]}})", 200, "", ReplyProblem::none, ""},
      {R"({"data":{"photoList":[{"name":"用户过多"}]}})", 200, "", ReplyProblem::none, ""},
      {"", 0, "", ReplyProblem::unanswered, "没有回应"},
      {"", 200, "", ReplyProblem::unanswered, "空回复（HTTP 200）"},
      {"<html>oops</html>", 502, "", ReplyProblem::unanswered, "HTTP 502"},
      {"<html>slow down</html>", 429, "Retry-After: 30\r\n", ReplyProblem::busy, "HTTP 429", 30},
      {"", 503, "retry-after:7\r\n", ReplyProblem::busy, "HTTP 503", 7},
      {R"({"code":-10000,"message":"使用人数过多，请稍后再试","data":{}})", 200, "", ReplyProblem::busy,
       "服务返回代码-10000：使用人数过多"},
      {R"({"code":-10001,"data":{}})", 200, "", ReplyProblem::busy, "-10001"},
      {R"({"code":-1,"message":"当前用户过多"})", 200, "", ReplyProblem::busy, "当前用户过多"},
      {R"({"code":-3000,"message":"未登录或者登录超时"})", 200, "", ReplyProblem::notSignedIn, "-3000"},
      {R"(_Callback({"message":"未登录或者登录超时"}))", 200, "", ReplyProblem::notSignedIn, "未登录"},
      {R"({"code":-4009,"message":"x"})", 200, "", ReplyProblem::noPermission, "-4009"},
      {"<html>error page</html>", 200, "", ReplyProblem::broken, "回复不是JSON"},
      {"not found", 404, "", ReplyProblem::broken, "HTTP 404"},
      {R"({"code":-201,"message":"参数错误"})", 200, "", ReplyProblem::broken, "-201：参数错误"},
      {R"({"code":-10049,"message":"使用人数过多"})", 200, "", ReplyProblem::broken,
       "服务拒绝了这种形式的请求"},
      {R"({"code":0,"data":{"album":[]}})", 200, "", ReplyProblem::broken, "data.photoList"},
      {R"({"code":0,"data":{"photoList":{}}})", 200, "", ReplyProblem::broken, "data.photoList"},
      // A code other than 0 is never a list, whatever list comes with it.
      {R"({"code":-10000,"data":{"photoList":[]}})", 200, "", ReplyProblem::busy, "-10000"},
      {R"({"code":-3000,"data":{"photoList":[{"name":"a"}]}})", 200, "", ReplyProblem::notSignedIn, "-3000"},
      {R"({"code":-4009,"data":{"photoList":[]}})", 200, "", ReplyProblem::noPermission, "-4009"},
      {R"({"code":-201,"message":"参数错误","data":{"photoList":[]}})", 200, "", ReplyProblem::broken,
       "-201"},
      {R"({"code":1,"data":{"photoList":[]}})", 200, "", ReplyProblem::broken, "服务返回代码1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    const ReplyVerdict verdict = judgeReply(c.body, c.status, c.headers, photos);
    EXPECT_EQ(verdict.problem, c.problem);
    EXPECT_NE(GbkToUtf8(verdict.reason).find(c.reason), std::string::npos) << GbkToUtf8(verdict.reason);
    EXPECT_EQ(verdict.retryAfterSeconds, c.retryAfter);
  }
  // Header numbers: any letter case, only the header of that very name, digits alone.
  const std::string headers =
      "HTTP/1.1 200 OK\r\nX-Content-Length: 9\r\ncontent-length: 20000000\r\n"
      "Retry-After: Wed, 21 Oct 2026 07:28:00 GMT\r\n\r\n";
  EXPECT_EQ(HeaderNumber(headers, "Content-Length"), 20000000) << "a photo far over a megabyte";
  EXPECT_EQ(HeaderNumber(headers, "Retry-After"), -1) << "a date is not honoured";
  EXPECT_EQ(HeaderNumber(headers, "Length"), -1);

  // A 206 is a whole file only when its range runs from the first byte to the last of the whole.
  for (const auto& [range, bytes, whole] : std::vector<std::tuple<std::string, std::size_t, bool>>{
           {"content-range: bytes 0-4999/5000", 5000, true},
           {"Content-Range: bytes 0-99/5000", 100, false},
           {"Content-Range: bytes 100-4999/5000", 4900, false},
           {"Content-Range: bytes 0-4999/*", 5000, false},
           {"Content-Range: bytes 0-4999/5000", 4000, false},
           {"X-Content-Range: bytes 0-4999/5000", 5000, false},
           {"", 5000, false}}) {
    EXPECT_EQ(rangeCoversWholeBody("HTTP/1.1 206 Partial Content\r\n" + range + "\r\n\r\n", bytes), whole)
        << range << " for " << bytes;
  }

  // A GBK endpoint's refusal is found in GBK.
  EXPECT_EQ(
      judgeReply(Utf8ToGbk("{\"message\":\"您没有权限进行此操作\"}"), 200, "", ReplyShape{"album", true})
          .problem,
      ReplyProblem::noPermission);
}

TEST(Backoff, KeepsTheFloorThenGrowsToFiveMinutesWithinThePatience) {
  const ReplyVerdict silent{ReplyProblem::unanswered, "", -1};
  const ReplyVerdict busy{ReplyProblem::busy, "", -1};

  Backoff floorFirst({10, 2000});
  std::vector<int> waits;
  while (std::optional<int> wait = floorFirst.next(silent, 0)) waits.push_back(*wait);
  const std::vector<int> expected = {2000,   2000,   2000,   2000,   2000,   2000,  2000,  2000,
                                     2000,   2000,   4000,   8000,   16000,  32000, 64000, 128000,
                                     256000, 300000, 300000, 300000, 300000, 72000};
  EXPECT_EQ(waits, expected) << "nine floor pauses, then 2 s doubling to five minutes, then what is left";
  EXPECT_TRUE(floorFirst.outlasted());
  long long total = 0;
  for (int wait : waits) total += wait;
  EXPECT_EQ(total, Backoff::kBudgetMs) << "the whole patience is given, no more";

  Backoff shortPatience({3, 1000}, 6000);
  waits.clear();
  while (std::optional<int> wait = shortPatience.next(silent, 0)) waits.push_back(*wait);
  EXPECT_EQ(waits, (std::vector<int>{1000, 1000, 2000, 2000})) << "the floor, then the rest of six seconds";

  Backoff busyAtOnce({10, 2000});
  EXPECT_EQ(busyAtOnce.next(busy, 0), 2000);
  EXPECT_EQ(busyAtOnce.next(busy, 0), 4000) << "a busy service is not asked at the floor's pace";
  EXPECT_EQ(busyAtOnce.next(busy, 20), 9600);
  EXPECT_EQ(busyAtOnce.next(busy, -20), 12800);
  EXPECT_EQ(busyAtOnce.next(ReplyVerdict{ReplyProblem::busy, "", 90}, 0), 90000) << "Retry-After honoured";

  Backoff slowFloor({3, 5000});
  EXPECT_EQ(slowFloor.next(busy, -20), 5000) << "never faster than the floor";

  Backoff elsewhere({2, 1000, false});
  EXPECT_EQ(elsewhere.next(silent, 0), 1000);
  EXPECT_EQ(elsewhere.next(silent, 0), std::nullopt) << "silence past the floor goes to the other host";
  EXPECT_FALSE(elsewhere.outlasted()) << "which is no wall";
  Backoff endless({1, 0});
  EXPECT_EQ(endless.next(ReplyVerdict{ReplyProblem::busy, "", 100000}, 0), Backoff::kBudgetMs)
      << "a huge Retry-After is held to the budget";
  EXPECT_EQ(endless.next(busy, 0), std::nullopt);
}

// Whatever the service keeps answering, the waits of one request add up to the patience, or to
// the floor's own pauses where those are longer, and every one of the floor's tries is made.
// With another family to ask, a service that is not there is left at once or after the floor.
TEST(Backoff, ThePatienceBoundsTheWaitsOfEveryRequestAndTheFloorsTriesStillHappen) {
  struct Kind {
    const char* what;
    std::string body;
    int status;
    std::string headers;
    bool refused = false;  // no connection at all
  };
  const std::vector<Kind> kinds = {
      {"busy", R"({"code":-10000,"message":"使用人数过多"})", 200, ""},
      {"empty 5xx", "", 502, ""},
      {"no answer", "", 0, ""},
      {"Retry-After", "", 429, "HTTP/1.1 429 Too Many\r\nRetry-After: 120\r\n\r\n"},
      {"refused", "", 0, "", true},
  };
  const std::vector<RetryFloor> floors = {{10, 2000}, {3, 1000}, {5, 2000}, {1, 0}, {10, 2000, true, true}};
  for (const Kind& kind : kinds) {
    ReplyVerdict verdict = judgeReply(kind.body, kind.status, kind.headers, ReplyShape{"album"});
    verdict.unreachable = kind.refused;
    ASSERT_TRUE(verdict.worthRetrying()) << kind.what;
    for (const RetryFloor& floor : floors) {
      for (const int patienceMs : {5000, 30000, 60000, 5 * 60000, Backoff::kBudgetMs}) {
        SCOPED_TRACE(std::string(kind.what) + ", floor " + std::to_string(floor.attempts) + "x" +
                     std::to_string(floor.pauseMs) + (floor.otherFamily ? " with another family" : "") +
                     ", patience " + std::to_string(patienceMs));
        Backoff backoff(floor, patienceMs);
        long long total = 0;
        int tries = 1, jitter = Backoff::kJitterPercent;
        while (const std::optional<int> wait = backoff.next(verdict, jitter = -jitter)) {
          ASSERT_GE(*wait, floor.pauseMs) << "never faster than the floor";
          total += *wait;
          ++tries;
        }
        const long long floorMs = static_cast<long long>(floor.attempts - 1) * floor.pauseMs;
        const bool silent = verdict.noResponse;
        if (floor.otherFamily && kind.refused) {
          EXPECT_EQ(tries, 1) << "a service nothing reaches is left at once";
          EXPECT_FALSE(backoff.outlasted());
        } else if (floor.otherFamily && silent) {
          EXPECT_EQ(total, floorMs) << "no answer: the floor's tries, then the other family";
          EXPECT_EQ(tries, floor.attempts);
          EXPECT_FALSE(backoff.outlasted());
        } else {
          const long long allowed = std::max<long long>(patienceMs, floorMs);
          EXPECT_LE(total, allowed);
          EXPECT_GT(total, allowed - Backoff::kFirstGrowthMs) << "the whole patience is given";
          EXPECT_GE(tries, floor.attempts);
          EXPECT_TRUE(backoff.outlasted());
        }
      }
    }
  }
}

TEST(ImageKind, LeadingBytesDecide) {
  const std::vector<std::pair<std::string, std::optional<std::string_view>>> cases = {
      {std::string("\xFF\xD8\xFF\xE0", 4) + "JFIF", ".jpg"},
      {std::string("\x89PNG\r\n\x1A\n\0\0", 10), ".png"},
      {"GIF89a....", ".gif"},
      {std::string("RIFF\x10\0\0\0WEBPVP8 ", 16), ".webp"},
      {std::string("BM\x36\0\0\0\0\0\0\0", 10), ".bmp"},
      {std::string("\0\0\0\x18", 4) + "ftypheic\0\0\0\0", ".heic"},
      {std::string("\0\0\0\x18", 4) + "ftypisom", std::nullopt},
      {"<html><body>error</body></html>", std::nullopt},
      {R"({"code":-10000})", std::nullopt},
      {"BMW is a car", std::nullopt},
      {"\xFF\xD8", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [bytes, extension] : cases) EXPECT_EQ(imageExtension(bytes), extension) << bytes;

  // A video entry must be the video: its cover picture or a playlist is not.
  const std::vector<std::pair<std::string, std::optional<std::string_view>>> videos = {
      {std::string("\0\0\0\x18", 4) + "ftypisom", ".mp4"},
      {std::string("\0\0\0\x20", 4) + "ftypmp42", ".mp4"},
      {std::string("\0\0\0\x14", 4) + "ftypqt  ", ".mov"},
      {std::string("FLV\x01\x05", 5), ".flv"},
      {"\x1A\x45\xDF\xA3\x9F", ".webm"},
      {std::string("\0\0\0\x18", 4) + "ftypheic", std::nullopt},
      {std::string("\xFF\xD8\xFF\xE0", 4) + "JFIF", std::nullopt},
      {"#EXTM3U\n#EXT-X-VERSION:3\n", std::nullopt},
  };
  for (const auto& [bytes, extension] : videos) {
    EXPECT_EQ(mediaExtension(bytes, MediaKind::video), extension) << bytes;
    EXPECT_EQ(videoExtension(bytes), extension) << bytes;
  }
}

// The size a picture's header states, which tells the service's placeholder from the listed photo.
TEST(ImageSize, HeadersOfEveryFormatAndThePlaceholderRule) {
  const std::string jpeg = standin::MakeJpeg("k", 1, 320, 240);
  // A JPEG whose frame header follows a metadata segment of its own.
  const std::string withExif = jpeg.substr(0, 2) +
                               std::string(
                                   "\xFF\xE1\x00\x08"
                                   "Exif\0\0",
                                   10) +
                               jpeg.substr(2);
  const std::vector<std::pair<std::string, std::optional<std::pair<int, int>>>> cases = {
      {standin::PlaceholderGif(), std::pair{96, 96}},
      {standin::MakePng("k", 7, 5), std::pair{7, 5}},
      {jpeg, std::pair{320, 240}},
      {withExif, std::pair{320, 240}},
      {jpeg.substr(0, 40), std::nullopt},  // cut before the frame header
      {std::string("RIFF\0\0\0\0WEBPVP8 \0\0\0\0\0\0\0\x9D\x01\x2A\x40\x01\xF0\x00", 30),
       std::pair{320, 240}},
      {std::string("RIFF\0\0\0\0WEBPVP8X\0\0\0\0\0\0\0\0\x3F\x01\x00\xEF\x00\x00", 30), std::pair{320, 240}},
      {std::string("BM\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x40\x01\0\0\x10\xFF\xFF\xFF", 26),
       std::pair{320, 240}},
      {"GIF89a\0\0\0\0", std::nullopt},  // no size is no size
      {"not a picture", std::nullopt},
  };
  for (const auto& [bytes, size] : cases) {
    SCOPED_TRACE(bytes.substr(0, 12));
    const std::optional<ImageSize> read = imageSize(bytes);
    ASSERT_EQ(read.has_value(), size.has_value());
    if (read) {
      EXPECT_EQ(std::pair(read->width, read->height), *size);
    }
  }
  EXPECT_TRUE(looksLikePlaceholder({96, 96}, 1024, 768));
  EXPECT_TRUE(looksLikePlaceholder({80, 60}, 320, 240)) << "a quarter on both sides";
  EXPECT_FALSE(looksLikePlaceholder({96, 96}, 320, 240)) << "a small photo listed small";
  EXPECT_FALSE(looksLikePlaceholder({96, 2000}, 1024, 8000)) << "a long strip is no placeholder";
  EXPECT_FALSE(looksLikePlaceholder({96, 96}, 0, 0)) << "a listing without a size never judges";
  EXPECT_FALSE(looksLikePlaceholder({800, 600}, 4032, 3024)) << "the copy of a large upload is a photo";
}

TEST(CookieLines, BreaksAndNulsNeverReachTheWireAndOnlySetCookieSetsCookies) {
  EXPECT_EQ(CookieHeaderValue("uin=o1; skey=@a\r"), "uin=o1; skey=@a");
  EXPECT_EQ(CookieHeaderValue("uin=o1\rskey=@a\r\n\rp=1"), "uin=o1; skey=@a; p=1");
  EXPECT_EQ(CookieHeaderValue(std::string("a=1\0b", 5)), "a=1b");
  EXPECT_EQ(CookieHeaderValue("\r\n"), "");
  EXPECT_EQ(CookiesSetBy("HTTP/1.1 200 OK\r\nX-Set-Cookie-Note: evil=1\r\nSet-Cookie: good=2; path=/\r\n"
                         "X-Note: Set-Cookie: bad=3\r\n\r\n"),
            "good=2");
}

TEST(PhotoPaging, TheCountIsAHintNotALimit) {
  struct Case {
    int page, listed, count;
    bool next;
  };
  for (const Case& c : std::vector<Case>{
           {1, 500, 0, true},     // full page past the count
           {1, 500, 500, true},   // exactly 500: the next page tells
           {2, 0, 500, false},    // empty page ends
           {1, 12, 12, false},    // short page, count reached
           {1, 300, 1200, true},  // short page, count says more
           {2, 300, 1200, true},  //
           {3, 0, 1200, false},   //
           {1, -1, 2000, true},   // failed page, count says more
           {1, -1, 12, false},    // failed page, nothing more due
           {1, 12, 2147483647, true},
           {2, 0, 2147483647, false},  // an absurd count ends at the first empty page
           {kMaxPhotoPages, 500, 2147483647, false},
       }) {
    EXPECT_EQ(wantsNextPage(c.page, c.listed, c.count), c.next)
        << c.page << " " << c.listed << " " << c.count;
  }
}

}  // namespace
}  // namespace fotolun
