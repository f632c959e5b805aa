// A space's posts saved a year to a folder, through a service that throttles, fails and lies:
// whatever happens, every listed picture and video ends on disk byte for byte under its day's
// name, or is named in the log as failed, and the closing box says whether anything failed.
#include "download/feed_download.h"

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <map>
#include <set>

#include "download_fixture.h"
#include "standin/placeholder_gif.h"
#include "standin/replies.h"
#include "story/album_record.h"
#include "story/photo_time.h"
#include "text/encoding.h"

namespace fotolun::testing {
namespace {

using standin::Fault;
using standin::FaultKind;
using standin::Response;

Fault reply(Response response, int times = -1) {
  Fault fault{FaultKind::Reply, times};
  fault.reply = std::move(response);
  return fault;
}
const Response kBusy{200, {}, R"({"code":-10000,"message":"使用人数过多，请稍后再试"})"};
const Response kPlaceholder{200, {{"Content-Type", "image/gif"}}, standin::PlaceholderGif()};

std::string hostless(const std::string& url) { return url.substr(url.find("://") + 3); }

std::string chinaDay(std::int64_t unixSeconds) {
  return chinaTimeText(static_cast<std::time_t>(unixSeconds), "%Y-%m-%d");
}

// One file the run should leave: "2020/2020-11-17_2_1.jpg" and what the service serves for it.
struct Expected {
  std::string path;
  std::string bytes;
  std::int64_t time = 0;
  const standin::FeedPicture* picture = nullptr;  // null for a video[] item
  const standin::FeedPost* post = nullptr;
};

// What a stranger's run saves of the account's posts, worked out from the sample itself.
std::vector<Expected> expectedFiles(const standin::Standin& standin,
                                    const standin::PersonalAccount& account) {
  std::map<std::string, std::vector<const standin::FeedPost*>> byDay;
  for (const standin::FeedPost& post : account.feed)
    if (!post.hidden && (!post.pictures.empty() || !post.videos.empty()))
      byDay[chinaDay(post.createdTime)].push_back(&post);
  std::vector<Expected> files;
  for (auto& [day, posts] : byDay) {
    std::stable_sort(posts.begin(), posts.end(),
                     [](auto* a, auto* b) { return a->createdTime < b->createdTime; });
    for (std::size_t p = 0; p < posts.size(); ++p) {
      int m = 0;
      const auto add = [&](const std::string& url, const char* extension,
                           const standin::FeedPicture* picture) {
        files.push_back({day.substr(0, 4) + "/" + day + "_" + std::to_string(p + 1) + "_" +
                             std::to_string(++m) + extension,
                         standin.photoBytes(url), posts[p]->createdTime, picture, posts[p]});
      };
      for (const standin::FeedPicture& picture : posts[p]->pictures) {
        if (!picture.videoUrl.empty()) {
          add(picture.videoUrl, ".mp4", &picture);
        } else {
          add(picture.full == standin::FeedPicture::Full::Served ? picture.url3 : picture.url2, ".jpg",
              &picture);
        }
      }
      for (const standin::FeedVideo& video : posts[p]->videos) add(video.file, ".mp4", nullptr);
    }
  }
  return files;
}

class FeedDownload : public DownloadFixture {
 protected:
  FeedDownload() {
    standin::Standin::writeCertificateAuthority((programFolder.path() / "ca.pem").string());
    program.caFile = (programFolder.path() / "ca.pem").string();
    signIn(standin.data().ordinaryAccount().qq);
    form.setCurrentIndex(Control::组合框1, 2);
    form.setText(Control::编辑框_号码, account.qq);
    program.targetNumber.set(account.qq);
    std::map<std::string, int> years;
    for (const Expected& file : expected) ++years[file.path.substr(0, 4)];
    int row = 0;
    for (auto it = years.rbegin(); it != years.rend(); ++it)
      addRow(std::to_string(++row), "说说 " + it->first, std::to_string(it->second), "feed-" + it->first);
  }

  std::string feedFolder() const { return (saveFolder / account.qq / "说说").string(); }
  // The saved files below the posts' folder, records and pages left out.
  std::map<std::string, std::string> saved() const {
    std::map<std::string, std::string> files;
    for (const auto& [path, bytes] : allFiles())
      if (path.ends_with(".jpg") || path.ends_with(".mp4") || path.ends_with(".gif"))
        files[path.substr(path.find("说说/") + std::string("说说/").size())] = bytes;
    return files;
  }

  const standin::PersonalAccount& account = standin.data().feedAccount();
  const std::vector<Expected> expected = expectedFiles(standin, account);
};

TEST_F(FeedDownload, EveryPostedPictureIsSavedByYearNamedByDayDatedAndDescribed) {
  runToEnd();
  const std::string log = form.log();
  std::map<std::string, std::string> files = saved();
  ASSERT_GT(expected.size(), 100u);
  for (const Expected& file : expected) {
    EXPECT_FALSE(file.bytes.empty()) << file.path;
    EXPECT_EQ(files[file.path], file.bytes) << file.path;
    if (file.picture && file.picture->full != standin::FeedPicture::Full::Served) {
      EXPECT_NE(log.find("已保存较小的一份：" + file.path.substr(5, file.path.size() - 9)), std::string::npos)
          << file.path;
    }
  }
  EXPECT_EQ(files.size(), expected.size());
  EXPECT_EQ(form.boxes().back().text, "全部下载完毕") << log;
  EXPECT_EQ(run->failedPhotos(), 0);

  // Dated by the post, its words (and a forwarded post's) in the year's record.
  std::set<std::string> years;
  for (const Expected& file : expected) {
    EXPECT_EQ(
        std::filesystem::last_write_time(std::filesystem::path(feedFolder()) / file.path),
        std::filesystem::file_time_type::clock::from_sys(std::chrono::system_clock::from_time_t(file.time)))
        << file.path;
    years.insert(file.path.substr(0, 4));
  }
  std::map<std::string, std::string> descriptions;
  for (const std::string& year : years) {
    const auto record = readAlbumRecord(std::filesystem::path(feedFolder()) / year);
    ASSERT_TRUE(record) << year;
    EXPECT_EQ(record->name, "说说 " + year);
    for (const RecordedPhoto& photo : record->photos)
      descriptions[year + "/" + photo.file] = photo.story.description;
  }
  for (const Expected& file : expected) {
    const std::string& said = descriptions[file.path];
    EXPECT_EQ(said.find(file.post->content), 0u) << file.path << ": " << said;
    if (file.post->forwarded) {
      EXPECT_NE(said.find(file.post->forwarded->content), std::string::npos) << said;
    }
  }

  // A second run asks for the list again and for no picture.
  const std::size_t pictureRequests = requestsTo("qpic.cn").size();
  runToEnd();
  EXPECT_EQ(run->skippedPhotos(), static_cast<int>(expected.size()));
  EXPECT_EQ(run->savedPhotos(), 0);
  EXPECT_EQ(requestsTo("qpic.cn").size(), pictureRequests);
}

struct FeedFault {
  std::string title;
  std::function<void(FeedDownload&)> inject;
  // What is missing from disk: failed by name unless the case ends the run or never lists it.
  std::function<bool(const Expected&)> missing{};  // none: nothing
  bool namedWhenMissing = true;
  std::vector<std::string> logHas{};
  std::string box = "全部下载完毕";  // the closing box's start
};

TEST_F(FeedDownload, EveryPictureIsSavedWholeOrReportedWhateverTheServiceDoes) {
  const auto firstPicture = std::find_if(expected.begin(), expected.end(), [](const Expected& file) {
    return file.picture && file.picture->videoUrl.empty() &&
           file.picture->full == standin::FeedPicture::Full::Served;
  });
  const auto manyPictures = std::find_if(expected.begin(), expected.end(),
                                         [](const Expected& file) { return file.post->pictures.size() > 9; });
  ASSERT_NE(manyPictures, expected.end());
  const standin::FeedPost* twelve = manyPictures->post;
  const auto leftOut = [twelve](const Expected& file) {
    return file.post == twelve && file.picture - twelve->pictures.data() >= 9;
  };
  const std::vector<FeedFault> cases = {
      {"busy pages are waited out, and the pause between pages grows",
       [](FeedDownload& t) { t.standin.server().addFault("emotion_cgi_msglist_v6", reply(kBusy, 2)); },
       {},
       true,
       {"服务器繁忙，"}},
      {"a wall on a picture's largest copy, shorter than the patience, is waited out",
       [&](FeedDownload& t) {
         t.standin.server().addFault(hostless(firstPicture->picture->url3), reply({500, {}, ""}, 4));
       },
       {},
       true,
       {"服务器没有回应，"}},
      {"a post's own picture list that never comes leaves the first nine and says so",
       [](FeedDownload& t) {
         t.standin.server().addFault("emotion_cgi_get_pics_v6",
                                     reply({200, {}, R"({"code":-1,"message":"x"})"}));
       },
       leftOut,
       false,
       {"张图片只列出了9张，其余的列表获取失败"},
       "下载结束，但有1个相册"},
      {"a picture whose every copy is the placeholder is asked again from a fresh page, then failed",
       [&](FeedDownload& t) {
         for (const std::string* url :
              {&firstPicture->picture->url3, &firstPicture->picture->url2, &firstPicture->picture->url1})
           t.standin.server().addFault(hostless(*url), reply(kPlaceholder));
       },
       [&](const Expected& file) { return file.path == firstPicture->path; },
       true,
       {"重新获取列表后再试一次"},
       "下载结束，但有1个相册、1张图片"},
      {"a list walled past the patience stops the run before anything is fetched",
       [](FeedDownload& t) {
         t.program.patienceMs = 60000;
         t.standin.server().addFault("pos=20&", reply({503, {}, ""}));
       },
       [](const Expected&) { return true; },
       false,
       {"等了1分钟仍未恢复，下载停止，剩下的3个相册没有下载"},
       "服务器持续繁忙，下载提前结束"},
      {"a session that ends mid-list ends the run",
       [](FeedDownload& t) {
         t.standin.server().addFault("pos=20&", reply({200, {}, standin::CurrentNotSignedInJson()}));
       },
       [](const Expected&) { return true; },
       false,
       {"服务说登录已失效"},
       "登录已失效"},
  };
  for (const FeedFault& c : cases) {
    SCOPED_TRACE(c.title);
    std::filesystem::remove_all(saveFolder / account.qq);
    standin.server().clearFaults();
    program.feedRead.set(nullptr);
    program.patienceMs = 30 * 60000;
    program.waits.clear();
    c.inject(*this);
    runToEnd();
    const std::string log = form.log();
    std::map<std::string, std::string> files = saved();
    for (const Expected& file : expected) {
      const std::string stem = file.path.substr(5, file.path.find('.') - 5);
      if (!c.missing || !c.missing(file)) {
        EXPECT_EQ(files[file.path], file.bytes) << file.path;
      } else {
        EXPECT_EQ(files.count(file.path), 0u) << file.path;
        if (c.namedWhenMissing) {
          EXPECT_NE(log.find("失败：" + stem), std::string::npos) << stem;
        }
      }
    }
    for (const std::string& part : c.logHas)
      EXPECT_NE(log.find(part), std::string::npos) << part << "\n" << log;
    ASSERT_FALSE(form.boxes().empty());
    EXPECT_EQ(form.boxes().back().text.rfind(c.box, 0), 0u) << form.boxes().back().text;
    EXPECT_TRUE(standin.requestsLeakingCookies().empty());
    for (const auto& [path, bytes] : allFiles()) {
      EXPECT_EQ(path.find("/.photo-"), std::string::npos) << path;
      EXPECT_NE(bytes, standin::PlaceholderGif()) << "a placeholder saved as " << path;
    }
    if (c.title.starts_with("busy")) {
      const std::vector<int> waits = program.waits.all();
      EXPECT_NE(std::find(waits.begin(), waits.end(), 2 * kFeedPagePauseMs), waits.end());
    }
  }
}

}  // namespace
}  // namespace fotolun::testing
