#include "service/listing_request.h"

#include <string>

#include "service/service_get.h"
#include "session/session_destination.h"
#include "text/encoding.h"

namespace fotolun {

void announceRetry(Context& context, const ReplyVerdict& verdict, int waitMs) {
  const std::string seconds = std::to_string((waitMs + 999) / 1000);
  const char* what = verdict.problem == ReplyProblem::busy ? "服务器繁忙，" : "服务器没有回应，";
  context.form.appendLog(Utf8ToGbk(what) + seconds + Utf8ToGbk("秒后重试\r\n"));
}

ListingReply requestListing(Context& context, const Text& url, RetryFloor floor, const ReplyShape& shape,
                            const ServiceGetOptions& options) {
  Backoff backoff(floor, context.program.patienceMs);
  int waitedOut = 0;
  for (;;) {
    const ServiceResponse response = serviceGet(context, url, options);
    ListingReply reply;
    reply.waitedOut = waitedOut;
    if (response.refusedHost) {
      reply.verdict = {ReplyProblem::broken, Utf8ToGbk("不是服务的主机：") + hostOfUrl(url)};
      return reply;
    }
    if (response.certificateRefused) {
      reply.verdict = {ReplyProblem::broken,
                       Utf8ToGbk("https证书验证失败：服务器的证书不是受信任的机构签发的（可用 --ca-file 或 "
                                 "FOTOLUN_CA_FILE 指定要信任的机构）")};
      return reply;
    }
    reply.text = BufferToText(response.body);
    if (shape.jsonp) reply.text = Text(unwrapJsonp(reply.text));
    reply.verdict = judgeReply(reply.text, response.status, response.headers, shape);
    if (response.unreachable) {
      reply.verdict.unreachable = true;
      reply.verdict.reason = Utf8ToGbk("连不上服务器");
    }
    if (!reply.verdict.worthRetrying()) return reply;
    ++waitedOut;
    const std::optional<int> wait = backoff.next(reply.verdict);
    if (!wait) {
      reply.verdict.outlastedPatience = backoff.outlasted();
      return reply;
    }
    if (!backoff.lastWasFloorPause()) announceRetry(context, reply.verdict, *wait);
    WaitWithMessages(context, *wait);
  }
}

}  // namespace fotolun
