#include "albums/group_album_list.h"

#include <climits>
#include <cstdlib>
#include <string>

#include "albums/json_reply.h"
#include "albums/list_progress.h"
#include "albums/panel_shown.h"
#include "service/listing_request.h"
#include "service/service_get.h"
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
  const Text title = columnText(album, "title");
  const Text photoCount = columnText(album, "photocnt");
  const Text id = columnText(album, "id");
  const int row = form.appendRow();
  form.setCell(row, column::序号, std::to_string(number));
  form.setCell(row, column::相册名称, title);
  form.setCell(row, column::图片数量, photoCount);
  form.setCell(row, column::相册ID, id);
  form.setRowChecked(row, true);
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

ListOutcome fillGroupList(Context& context) {
  Program& program = context.program;
  Form& form = context.form;
  form.setText(Control::标签_动态, Utf8ToGbk("群相册获取中，耐心等待..."));
  form.deleteAllRows();
  const Text group = form.text(Control::编辑框_号码);

  SessionCredentials session = program.credentials.get();
  const Text totalUrl = ConcatText(
      "http://", program.hosts.groupPhoto,
      "/cgi-bin/upp/"
      "qun_list_album_v2?getTotalPhoto=1&inCharset=utf-8&outCharset=utf-8&callbackFun=_GroupAlbumList"
      "&qunId=",
      group, "&uin=", session.uin,
      "&start=0&num=1000&userinfo=1&t=0.8156231227330863&output_type=json&refer=jsapi&g_tk=", session.gTk);
  const int total = groupAlbumTotal(Utf8ToGbk(serviceGet(context, totalUrl).body));

  form.setMaximum(Control::进度条1, total);
  form.setPosition(Control::进度条1, 0);
  // The total is a hint: a full page asks for the next one whatever it says, and an empty page
  // ends the list.
  for (int page = 1; page <= kMaxPages; ++page) {
    session = program.credentials.get();
    const Text start = std::to_string(static_cast<long long>(page - 1) * kPageSize);
    const Text pageUrl =
        ConcatText("http://", program.hosts.groupPhoto, "/cgi-bin/upp/qun_list_album_v2?qunId=", group,
                   "&uin=", session.uin, "&hostUin=", session.uin, "&start=", start,
                   "&num=1000&userInfo=1&format=json&platform=qzone&inCharset=utf-8&outCharset=utf-8"
                   "&source=jsapi&g_tk=",
                   session.gTk);
    const ListingReply reply = requestListing(context, pageUrl, {1, 0}, ReplyShape{"album"});
    WaitWithMessages(context, kPageWaitMs);
    if (reply.verdict.problem == ReplyProblem::notSignedIn) {
      askToSignInAgain(context);
      return ListOutcome::notSignedIn;
    }
    if (!reply.usable()) {
      reportListFailure(context, reply.verdict.reason);
      return ListOutcome::failed;
    }
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
    const bool more = count >= kPageSize || (count > 0 && static_cast<long long>(page) * kPageSize < total);
    if (!more) break;
  }
  form.setText(Control::标签_动态,
               Utf8ToGbk("相册获取完毕，共计：") + std::to_string(form.rowCount()) + Utf8ToGbk("个"));
  return ListOutcome::listed;
}

}  // namespace

ListOutcome listGroupAlbums(Context& context) {
  const PanelShown panel(context.form);
  const ListOutcome outcome = fillGroupList(context);
  LetMessagesRun(context);
  return outcome;
}

}  // namespace fotolun
