#include "albums/personal_album_list.h"

#include <string>

#include "albums/cover_placeholders.h"
#include "albums/json_reply.h"
#include "albums/list_outcome.h"
#include "albums/list_progress.h"
#include "albums/panel_shown.h"
#include "albums/route_lookup.h"
#include "names/clean_file_name.h"
#include "net/http_clients.h"
#include "service/listing_request.h"
#include "text/encoding.h"
#include "text/random_text.h"

namespace fotolun {
namespace {

constexpr int kAttempts = 10;
constexpr int kAttemptPauseMs = 2000;

// The reply is GBK, and a GBK character may end in the byte of "\" (0x5C), which a JSON parser
// would take for an escape. The text is parsed in UTF-8 and each value brought back to GBK.
JsonDocument parseGbkJson(const Text& reply) { return ParseJson(GbkToUtf8(reply)); }
Text gbkJsonText(json_object* value) { return Utf8ToGbk(JsonText(value)); }

// Downloaded without the session: covers are public pictures.
ByteBuffer downloadCover(const Program& program, const Text& url) {
  Text noCookies;
  return SendServiceRequest(url, 0, "", &noCookies, nullptr, nullptr, nullptr, nullptr, false, "",
                            program.proxy, 0, "", "", 1, nullptr, 0, program.caFile);
}

Text albumName(json_object* album) {
  const Text name = cleanFileName(RemoveQuotes(gbkJsonText(JsonMember(album, "name"))));
  if (!name.empty()) return name;
  return Utf8ToGbk("未知相册") + RandomLetters(5, 1);
}

void addAlbumRow(Context& context, json_object* album, int number) {
  Form& form = context.form;
  const ServiceHosts& hosts = context.program.hosts;
  advanceListProgress(form);

  const Text cover = TextBetween(ReplaceText(gbkJsonText(JsonMember(album, "pre")), "\\", ""), "\"", "\"");
  const bool needsAnswer = CompareText(cover, needPassCoverUrl(hosts)) == 0;
  // Read once per album, so that the picture and the row's image agree even if the box is
  // clicked meanwhile.
  const bool withCovers = form.checked(Control::选择框_封面图);
  int image = -1;
  if (withCovers) {
    form.setColumnWidth(column::封面, 100);
    ByteBuffer picture;
    if (needsAnswer) {
      picture = needPassCover();
    } else if (CompareText(cover, noPhotoCoverUrl(hosts)) == 0) {
      picture = noPhotoCover();
    } else {
      context.checkpoint();
      picture = downloadCover(context.program, cover);
    }
    image = form.addCoverImage(picture);
  }
  LetMessagesRun(context);

  const Text name = albumName(album);
  const Text total = gbkJsonText(JsonMember(album, "total"));
  const Text id = RemoveQuotes(gbkJsonText(JsonMember(album, "id")));
  const Text question = RemoveQuotes(gbkJsonText(JsonMember(album, "question")));

  const int row = form.appendRow();
  form.setCell(row, column::序号, std::to_string(number));
  form.setCell(row, column::相册名称, name);
  if (withCovers) {
    form.setRowImage(row, image);
  } else {
    form.setColumnWidth(column::封面, 0);
  }
  form.setCell(row, column::图片数量, total);
  form.setCell(row, column::相册ID, id);
  form.setCell(row, column::相册问题, needsAnswer ? question : Utf8ToGbk("已授权"));
  form.setRowChecked(row, true);
  LetMessagesRun(context);
}

}  // namespace

Text needPassCoverUrl(const ServiceHosts& hosts) {
  return ConcatText("http://", hosts.staticImage, "/ac/qzone_v5/photo/need_pass.png");
}

Text noPhotoCoverUrl(const ServiceHosts& hosts) {
  return ConcatText("http://", hosts.staticImage, "/ac/qzone_v5/photo/no_photo_s.png");
}

ListOutcome listPersonalAlbums(Context& context) {
  Program& program = context.program;
  Form& form = context.form;
  PanelShown panel(form);
  form.deleteAllRows();
  form.resetImageList();

  const Text host = lookupAlbumHost(context);
  if (host.empty()) {
    reportListFailure(context, Utf8ToGbk("没有找到存放相册的服务器"));
    return ListOutcome::failed;
  }
  const Text url =
      ConcatText("http://", host, "/fcgi-bin/fcg_list_album_v2?hostUin=", program.targetNumber.get(),
                 "&format=json&plat=qzone&source=qzone&t=&g_tk=", program.credentials.get().gTk);
  const ListingReply reply =
      requestListing(context, url, {kAttempts, kAttemptPauseMs}, ReplyShape{"album", true});

  // The refusals' words count anywhere in the reply, as the service has always said them.
  if (FindText(reply.text, Utf8ToGbk("未登录或者登录超时")) != -1 ||
      reply.verdict.problem == ReplyProblem::notSignedIn) {
    askToSignInAgain(context);
    return ListOutcome::notSignedIn;
  }
  if (FindText(reply.text, Utf8ToGbk("您没有权限进行此操作")) != -1 ||
      reply.verdict.problem == ReplyProblem::noPermission) {
    form.messageBox(Utf8ToGbk("您没有访问该QQ相册的权限"), "", MessageButtons::Ok);
    return ListOutcome::noPermission;
  }
  if (!reply.usable()) {
    reportListFailure(context, reply.verdict.reason);
    return ListOutcome::failed;
  }

  const JsonDocument document = parseGbkJson(reply.text);
  json_object* albums = JsonMember(JsonMember(document.get(), "data"), "album");
  const int count = JsonArrayLength(albums);
  if (count == 0) {
    form.messageBox(Utf8ToGbk("获取到相册个数为0"), Utf8ToGbk("温馨提示"), MessageButtons::Ok);
    return ListOutcome::noAlbums;
  }

  form.setMaximum(Control::进度条1, count);
  form.setPosition(Control::进度条1, 0);
  for (int i = 1; i <= count; ++i) addAlbumRow(context, JsonElement(albums, i - 1), i);

  const Text rows = std::to_string(form.rowCount());
  form.setText(Control::标签_动态, Utf8ToGbk("温馨提示：相册列表获取完毕,共计") + rows + Utf8ToGbk("个"));
  form.appendLog(Utf8ToGbk("-----获取完毕,共计") + rows + Utf8ToGbk("个\r\n\r\n"));
  return ListOutcome::listed;
}

}  // namespace fotolun
