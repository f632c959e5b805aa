#include "service/route_lookup.h"

#include "net/http_clients.h"
#include "net/url_parts.h"
#include "session/session_destination.h"
#include "text/encoding.h"

namespace fotolun {

Text albumHostFromRouteReply(const Text& reply) {
  // One routing record per line, so that a record can be picked by the route name it holds.
  const Text records = ReplaceText(reply, "{\"r\":", "\r\n");
  const Text defaultRoute = TextBetween(records, "default\":\"", "\"");
  // Without a default name every record holding a bare "_bak" would match.
  if (defaultRoute.empty()) return "";
  const int line = FindLineContaining(records, defaultRoute + "_bak");
  return TextBetween(LineAt(records, line), "p\":\"", "\"");
}

Text lookupAlbumHost(Context& context) {
  return lookupAlbumHost(context, context.program.targetNumber.get());
}

Text lookupAlbumHost(Context& context, const Text& number) {
  Program& program = context.program;
  const Text url = ConcatText("http://", program.hosts.routing, "/GetRoute?UIN=", number,
                              "&type=json&version=2&json_esc=1");
  context.checkpoint();
  const ByteBuffer body =
      FetchUrl(url, 0, "", nullptr, nullptr, nullptr, nullptr, false, nullptr, program.proxy, program.caFile);
  context.checkpoint();
  const Text host = albumHostFromRouteReply(BufferToText(body));
  if (!host.empty() && !maySendSession(program.hosts, "http://" + host + "/")) {
    context.form.appendLog(Utf8ToGbk("存储路由指向服务以外的主机，不予访问：") + host + "\r\n");
    return "";
  }
  return host;
}

}  // namespace fotolun
