#include "albums/personal_album_list.h"

#include <algorithm>
#include <string>
#include <vector>

#include "albums/cover_placeholders.h"
#include "albums/family_switch.h"
#include "albums/json_reply.h"
#include "albums/list_outcome.h"
#include "albums/list_progress.h"
#include "albums/panel_shown.h"
#include "names/clean_file_name.h"
#include "names/unknown_names.h"
#include "net/http_clients.h"
#include "service/current_endpoints.h"
#include "service/listing_request.h"
#include "service/route_lookup.h"
#include "story/photo_story.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

constexpr int kAttempts = 10;
constexpr int kAttemptPauseMs = 2000;
// However a broken reply pages, no one has this many albums.
constexpr int kMaxAlbumPages = 1000;

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

Text albumName(json_object* album, const Text& id) {
  const Text name = cleanFileName(RemoveQuotes(gbkJsonText(JsonMember(album, "name"))));
  if (!name.empty()) return name;
  return unknownAlbumName(id);
}

// The https family also says outright which albums the user may not open (allowAccess 0): those
// are marked as the older family marks an album that asks a question.
void addAlbumRow(Context& context, json_object* album, int number, bool honourAllowAccess) {
  Form& form = context.form;
  const ServiceHosts& hosts = context.program.hosts;
  advanceListProgress(form);

  const Text cover = TextBetween(ReplaceText(gbkJsonText(JsonMember(album, "pre")), "\\", ""), "\"", "\"");
  const bool closed = honourAllowAccess && gbkJsonText(JsonMember(album, "allowAccess")) == "0";
  const bool needsAnswer = CompareText(cover, needPassCoverUrl(hosts)) == 0 || closed;
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

  const Text total = gbkJsonText(JsonMember(album, "total"));
  const Text id = RemoveQuotes(gbkJsonText(JsonMember(album, "id")));
  const Text name = albumName(album, id);
  Text question = RemoveQuotes(gbkJsonText(JsonMember(album, "question")));
  if (closed && (question.empty() || question == "null")) question = Utf8ToGbk("无权访问");

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
  context.program.albumStories.note(id, albumStoryOf(album));
  LetMessagesRun(context);
}

struct ListedAlbums {
  std::vector<JsonDocument> pages;
  std::vector<json_object*> albums;
  Text unfinished;  // why a later page of the list got no answer
};

// While the other family may still be asked (unreported given), a family that is not there is
// left for it rather than waited for.
RetryFloor listFloor(const Text* unreported) {
  return {kAttempts, kAttemptPauseMs, true, unreported != nullptr};
}

ListOutcome refusePermission(Context& context) {
  context.form.messageBox(Utf8ToGbk("您没有访问该QQ相册的权限"), "", MessageButtons::Ok);
  return ListOutcome::noPermission;
}

ListOutcome classicAlbums(Context& context, ListedAlbums& listed, Text* unreported) {
  Program& program = context.program;
  const Text host = lookupAlbumHost(context);
  if (host.empty())
    return endUnlisted(context, ListOutcome::failed, Utf8ToGbk("没有找到存放相册的服务器"), unreported);
  const Text url =
      ConcatText("http://", host, "/fcgi-bin/fcg_list_album_v2?hostUin=", program.targetNumber.get(),
                 "&format=json&plat=qzone&source=qzone&t=&g_tk=", program.credentials.get().gTk);
  const ListingReply reply = requestListing(context, url, listFloor(unreported), ReplyShape{"album", true});

  // The refusals' words count anywhere in the reply, as the service has always said them.
  if (FindText(reply.text, Utf8ToGbk("未登录或者登录超时")) != -1 ||
      reply.verdict.problem == ReplyProblem::notSignedIn)
    return endUnlisted(context, ListOutcome::notSignedIn, reply.verdict.reason, unreported);
  if (FindText(reply.text, Utf8ToGbk("您没有权限进行此操作")) != -1 ||
      reply.verdict.problem == ReplyProblem::noPermission)
    return refusePermission(context);
  if (!reply.usable()) return endUnlisted(context, ListOutcome::failed, reply.verdict.reason, unreported);

  listed.pages.push_back(parseGbkJson(reply.text));
  json_object* albums = JsonMember(JsonMember(listed.pages.back().get(), "data"), "album");
  for (int i = 0; i < JsonArrayLength(albums); ++i) listed.albums.push_back(JsonElement(albums, i));
  return ListOutcome::listed;
}

// The albums of one page of the https list, from whichever member the service put them in.
void collectPageAlbums(json_object* data, std::vector<json_object*>& albums) {
  const auto take = [&](json_object* array) {
    for (int i = 0; i < JsonArrayLength(array); ++i) albums.push_back(JsonElement(array, i));
  };
  if (json_object* sorted = JsonMember(data, "albumListModeSort"); JsonArrayLength(sorted) > 0)
    return take(sorted);
  if (json_object* classes = JsonMember(data, "albumListModeClass"); JsonArrayLength(classes) > 0) {
    for (int i = 0; i < JsonArrayLength(classes); ++i) take(JsonMember(JsonElement(classes, i), "albumList"));
    return;
  }
  take(JsonMember(data, "albumList"));
}

int numberMember(json_object* object, const char* name, int fallback) {
  json_object* value = JsonMember(object, name);
  if (!json_object_is_type(value, json_type_int) && !json_object_is_type(value, json_type_string))
    return fallback;
  return json_object_get_int(value);
}

ListOutcome currentAlbums(Context& context, ListedAlbums& listed, Text* unreported) {
  Program& program = context.program;
  const Text owner = program.targetNumber.get();
  int start = 0;
  for (int page = 1; page <= kMaxAlbumPages; ++page) {
    const SessionCredentials session = program.credentials.get();
    const ListingReply reply =
        requestListing(context, currentAlbumListUrl(program.hosts, session, owner, start),
                       listFloor(page == 1 ? unreported : nullptr), kCurrentAlbumShape,
                       currentListingOptions(program.hosts, session.uin, false));
    ReplyVerdict verdict = reply.verdict;
    if (verdict.problem == ReplyProblem::busy && !currentSessionAnswers(context))
      verdict = {ReplyProblem::notSignedIn, Utf8ToGbk("服务一直繁忙，登录检查也没有通过，登录可能已失效")};
    if (verdict.problem == ReplyProblem::notSignedIn)
      return endUnlisted(context, ListOutcome::notSignedIn, verdict.reason, unreported);
    if (verdict.problem == ReplyProblem::noPermission) return refusePermission(context);
    if (!verdict.usable()) {
      if (page == 1) return endUnlisted(context, ListOutcome::failed, verdict.reason, unreported);
      listed.unfinished = verdict.reason;
      return ListOutcome::listed;
    }
    listed.pages.push_back(ParseJson(reply.text));
    json_object* data = JsonMember(listed.pages.back().get(), "data");
    const std::size_t before = listed.albums.size();
    collectPageAlbums(data, listed.albums);
    const int onPage = static_cast<int>(listed.albums.size() - before);
    const int total = numberMember(data, "albumsInUser", -1);
    // The next page starts where the service says, but never goes back.
    start = std::max(numberMember(data, "nextPageStart", start + onPage), start + onPage);
    if (onPage == 0 || (total >= 0 && start >= total)) break;
  }
  return ListOutcome::listed;
}

ListOutcome showAlbums(Context& context, const ListedAlbums& listed, bool honourAllowAccess) {
  Form& form = context.form;
  const int count = static_cast<int>(listed.albums.size());
  if (count == 0) {
    form.messageBox(Utf8ToGbk("获取到相册个数为0"), Utf8ToGbk("温馨提示"), MessageButtons::Ok);
    return ListOutcome::noAlbums;
  }
  form.setMaximum(Control::进度条1, count);
  form.setPosition(Control::进度条1, 0);
  for (int i = 1; i <= count; ++i) addAlbumRow(context, listed.albums[i - 1], i, honourAllowAccess);

  const Text rows = std::to_string(form.rowCount());
  form.setText(Control::标签_动态, Utf8ToGbk("温馨提示：相册列表获取完毕,共计") + rows + Utf8ToGbk("个"));
  form.appendLog(Utf8ToGbk("-----获取完毕,共计") + rows + Utf8ToGbk("个\r\n\r\n"));
  return ListOutcome::listed;
}

}  // namespace

Text needPassCoverUrl(const ServiceHosts& hosts) {
  return ConcatText("http://", hosts.staticImage, "/ac/qzone_v5/photo/need_pass.png");
}

Text noPhotoCoverUrl(const ServiceHosts& hosts) {
  return ConcatText("http://", hosts.staticImage, "/ac/qzone_v5/photo/no_photo_s.png");
}

ListOutcome listPersonalAlbums(Context& context) {
  Form& form = context.form;
  PanelShown panel(form);
  form.deleteAllRows();
  form.resetImageList();
  return listOnFamily(context, [&](ServiceFamily family, Text* unreported) {
    ListedAlbums listed;
    const ListOutcome outcome = family == ServiceFamily::current ? currentAlbums(context, listed, unreported)
                                                                 : classicAlbums(context, listed, unreported);
    if (outcome != ListOutcome::listed) return outcome;
    const ListOutcome shown = showAlbums(context, listed, family == ServiceFamily::current);
    if (!listed.unfinished.empty()) {
      reportListFailure(context, listed.unfinished);
      return ListOutcome::failed;
    }
    return shown;
  });
}

}  // namespace fotolun
