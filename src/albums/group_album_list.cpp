#include "albums/group_album_list.h"

#include <climits>
#include <cstdlib>
#include <functional>
#include <string>

#include "albums/family_switch.h"
#include "albums/json_reply.h"
#include "albums/list_progress.h"
#include "albums/panel_shown.h"
#include "service/current_endpoints.h"
#include "service/listing_request.h"
#include "service/service_get.h"
#include "story/photo_story.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

constexpr int kPageSize = 1000;
constexpr int kPageWaitMs = 1000;
// No group holds anywhere near a million albums, whatever a broken reply says.
constexpr int kMaxPages = 1000;

// The reply is UTF-8 JSON. It is parsed as it came and each value converted afterwards: GBK
// text can hold the byte of "\" inside a character, which would break the parse.
Text columnText(json_object* album, const char* member) {
  return RemoveQuotes(Utf8ToGbk(JsonText(JsonMember(album, member))));
}

void addAlbumRow(Context& context, json_object* album, int number) {
  Form& form = context.form;
  advanceListProgress(form);
  // The title is shown as the group named it, "聚会/2019" rather than its JSON "聚会\/2019"; the
  // double quotes still go, as they always have.
  const Text title = RemoveQuotes(Utf8ToGbk(JsonStringText(JsonMember(album, "title"))));
  const Text photoCount = columnText(album, "photocnt");
  const Text id = columnText(album, "id");
  const int row = form.appendRow();
  form.setCell(row, column::序号, std::to_string(number));
  form.setCell(row, column::相册名称, title);
  form.setCell(row, column::图片数量, photoCount);
  form.setCell(row, column::相册ID, id);
  form.setRowChecked(row, true);
  context.program.albumStories.note(id, albumStoryOf(album));
  LetMessagesRun(context);
}

}  // namespace

int groupAlbumTotal(const Text& reply) {
  const Text digits = RemoveSpaces(TextBetween(reply, "\"total\" :", "\n}\n"));
  const char* begin = digits.c_str();
  char* end = nullptr;
  const long long value = std::strtoll(begin, &end, 10);
  if (end == begin) return 0;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

namespace {

// One family's group album list: where its pages are, what they look like and how many albums the
// service said there are (a hint).
struct GroupPages {
  std::function<Text(const SessionCredentials& session, int start)> url;
  ReplyShape shape;
  ServiceGetOptions options;
  int total = 0;
  bool current = false;
};

ListOutcome listGroupPages(Context& context, const GroupPages& pages, Text* unreported) {
  Program& program = context.program;
  Form& form = context.form;
  form.setMaximum(Control::进度条1, pages.total);
  form.setPosition(Control::进度条1, 0);
  // The total is a hint: a full page asks for the next one whatever it says, and an empty page
  // ends the list.
  for (int page = 1; page <= kMaxPages; ++page) {
    const SessionCredentials session = program.credentials.get();
    // While the other family may still be asked, one that is not there is left for it.
    const RetryFloor floor{1, 0, true, page == 1 && unreported != nullptr};
    const ListingReply reply = requestListing(context, pages.url(session, (page - 1) * kPageSize), floor,
                                              pages.shape, pages.options);
    WaitWithMessages(context, kPageWaitMs);
    ReplyVerdict verdict = reply.verdict;
    if (pages.current && verdict.problem == ReplyProblem::busy && !currentSessionAnswers(context))
      verdict = {ReplyProblem::notSignedIn, Utf8ToGbk("服务一直繁忙，登录检查也没有通过，登录可能已失效")};
    // Once rows are shown the other family is not asked: its rows would follow these.
    Text* const deferred = form.rowCount() == 0 ? unreported : nullptr;
    if (verdict.problem == ReplyProblem::notSignedIn)
      return endUnlisted(context, ListOutcome::notSignedIn, verdict.reason, deferred);
    if (pages.current && verdict.problem == ReplyProblem::noPermission) {
      reportListFailure(context, verdict.reason);
      return ListOutcome::noPermission;
    }
    if (!verdict.usable()) return endUnlisted(context, ListOutcome::failed, verdict.reason, deferred);
    const JsonDocument document = ParseJson(reply.text);
    json_object* albums = JsonMember(JsonMember(document.get(), "data"), "album");
    const int count = JsonArrayLength(albums);
    if (count == 0 && form.rowCount() == 0) {
      form.messageBox(Utf8ToGbk("获取到群的相册个数为0"), Utf8ToGbk("温馨提示"), MessageButtons::Ok);
      return ListOutcome::noAlbums;
    }
    for (int j = 1; j <= count; ++j) {
      addAlbumRow(context, JsonElement(albums, j - 1), (page - 1) * kPageSize + j);
    }
    form.setVisible(Control::画板1, false);
    const bool more =
        count >= kPageSize || (count > 0 && static_cast<long long>(page) * kPageSize < pages.total);
    if (!more) break;
  }
  form.setText(Control::标签_动态,
               Utf8ToGbk("相册获取完毕，共计：") + std::to_string(form.rowCount()) + Utf8ToGbk("个"));
  return ListOutcome::listed;
}

ListOutcome classicGroupList(Context& context, const Text& group, Text* unreported) {
  Program& program = context.program;
  SessionCredentials session = program.credentials.get();
  const Text totalUrl = ConcatText(
      "http://", program.hosts.groupPhoto,
      "/cgi-bin/upp/"
      "qun_list_album_v2?getTotalPhoto=1&inCharset=utf-8&outCharset=utf-8&callbackFun=_GroupAlbumList"
      "&qunId=",
      group, "&uin=", session.uin,
      "&start=0&num=1000&userinfo=1&t=0.8156231227330863&output_type=json&refer=jsapi&g_tk=", session.gTk);
  GroupPages pages;
  pages.total = groupAlbumTotal(Utf8ToGbk(serviceGet(context, totalUrl).body));
  pages.shape = ReplyShape{"album"};
  pages.url = [&](const SessionCredentials& current, int start) {
    return ConcatText("http://", program.hosts.groupPhoto, "/cgi-bin/upp/qun_list_album_v2?qunId=", group,
                      "&uin=", current.uin, "&hostUin=", current.uin, "&start=", std::to_string(start),
                      "&num=1000&userInfo=1&format=json&platform=qzone&inCharset=utf-8&outCharset=utf-8"
                      "&source=jsapi&g_tk=",
                      current.gTk);
  };
  return listGroupPages(context, pages, unreported);
}

// The https list gives no total up front; each page says it, and full pages ask on anyway.
ListOutcome currentGroupList(Context& context, const Text& group, Text* unreported) {
  Program& program = context.program;
  GroupPages pages;
  pages.current = true;
  pages.shape = kCurrentGroupAlbumShape;
  pages.options = currentListingOptions(program.hosts, program.credentials.get().uin, false);
  pages.url = [&](const SessionCredentials& session, int start) {
    return currentGroupAlbumListUrl(program.hosts, session, group, start);
  };
  return listGroupPages(context, pages, unreported);
}

}  // namespace

ListOutcome listGroupAlbums(Context& context) {
  const PanelShown panel(context.form);
  Form& form = context.form;
  form.setText(Control::标签_动态, Utf8ToGbk("群相册获取中，耐心等待..."));
  form.deleteAllRows();
  const Text group = form.text(Control::编辑框_号码);
  const ListOutcome outcome = listOnFamily(context, [&](ServiceFamily family, Text* unreported) {
    return family == ServiceFamily::current ? currentGroupList(context, group, unreported)
                                            : classicGroupList(context, group, unreported);
  });
  LetMessagesRun(context);
  return outcome;
}

}  // namespace fotolun
