#include "albums/feed_album_list.h"

#include <memory>
#include <string>

#include "albums/family_switch.h"
#include "albums/list_progress.h"
#include "albums/panel_shown.h"
#include "download/feed_download.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

void addYearRow(Form& form, const FeedYear& year, int number) {
  const int row = form.appendRow();
  form.setCell(row, column::序号, std::to_string(number));
  form.setCell(row, column::相册名称, feedAlbumName(year.year));
  form.setCell(row, column::图片数量, std::to_string(year.pictures + year.videos));
  form.setCell(row, column::相册ID, feedAlbumId(year.year));
  form.setRowChecked(row, true);
}

// "读取了57条说说中的52条（5条设为私密或仅部分人可见，看不到），有图片或视频的30条：2021年9条（20张图片、1个视频）；…"
std::string summaryOf(const FeedRead& read, const std::vector<FeedYear>& years) {
  int withMedia = 0;
  for (const FeedYear& year : years) withMedia += year.posts;
  std::string line =
      "读取了" + std::to_string(read.total) + "条说说中的" + std::to_string(read.posts.size()) + "条";
  if (const int hidden = read.hidden(); hidden > 0)
    line += "（" + std::to_string(hidden) + "条设为私密或仅部分人可见，看不到）";
  if (read.stoppedAtSaved) line += "（更早的说说上次已下载，没有再读）";
  line += "，有图片或视频的" + std::to_string(withMedia) + "条";
  for (std::size_t i = 0; i < years.size(); ++i) {
    line += (i == 0 ? "：" : "；") + years[i].year + "年" + std::to_string(years[i].posts) + "条（" +
            std::to_string(years[i].pictures) + "张图片";
    if (years[i].videos > 0) line += "、" + std::to_string(years[i].videos) + "个视频";
    line += "）";
  }
  return line + "\r\n";
}

}  // namespace

ListOutcome listFeedYears(Context& context) {
  const PanelShown panel(context.form);
  Form& form = context.form;
  Program& program = context.program;
  form.setText(Control::标签_动态, Utf8ToGbk("说说列表获取中，说说多时要等很久..."));
  form.deleteAllRows();
  AlbumJob job;
  job.typedNumber = job.personalOwner = form.text(Control::编辑框_号码);
  auto read = std::make_shared<FeedRead>(
      readFeed(context, job.personalOwner, program.feedNewOnly ? feedPostsSaved(context, job) : nullptr));
  const ReplyVerdict& failure = read->failure;
  if (failure.problem == ReplyProblem::notSignedIn)
    return endUnlisted(context, ListOutcome::notSignedIn, failure.reason, nullptr);
  if (failure.problem == ReplyProblem::noPermission) {
    // Refused as an album list is refused: a backup that got nothing must not pass for one that
    // found nothing new.
    form.appendLog(Utf8ToGbk("这个空间的说说不对你公开，一条也看不到（") + failure.reason +
                   Utf8ToGbk("）\r\n"));
    form.messageBox(Utf8ToGbk("您没有访问该空间说说的权限（") + failure.reason + Utf8ToGbk("）"), "",
                    MessageButtons::Ok);
    return ListOutcome::noPermission;
  }
  if (!failure.usable() && read->posts.empty())
    return endUnlisted(context, ListOutcome::failed, failure.reason, nullptr);
  if (!failure.usable())
    form.appendLog(Utf8ToGbk("说说列表没有读完，只列出读到的部分：") + failure.reason + "\r\n");
  program.feedRead.set(read);
  const std::vector<FeedYear> years = feedYears(*read);
  form.appendLog(Utf8ToGbk(summaryOf(*read, years)));
  form.setMaximum(Control::进度条1, static_cast<int>(years.size()));
  form.setPosition(Control::进度条1, 0);
  for (std::size_t i = 0; i < years.size(); ++i) {
    advanceListProgress(form);
    addYearRow(form, years[i], static_cast<int>(i) + 1);
  }
  if (years.empty()) {
    form.setText(Control::标签_动态, Utf8ToGbk("获取完毕：没有带图片或视频的说说"));
    return ListOutcome::noAlbums;
  }
  form.setText(Control::标签_动态,
               Utf8ToGbk("说说获取完毕，共计：") + std::to_string(years.size()) + Utf8ToGbk("个年份"));
  return ListOutcome::listed;
}

}  // namespace fotolun
