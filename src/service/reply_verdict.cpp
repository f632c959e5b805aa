#include "service/reply_verdict.h"

#include <json-c/json.h>

#include <algorithm>
#include <memory>
#include <string>

#include "net/url_parts.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

struct JsonRelease {
  void operator()(json_object* object) const { json_object_put(object); }
};

json_object* member(json_object* object, const char* name) {
  json_object* found = nullptr;
  if (object == nullptr || !json_object_is_type(object, json_type_object)) return nullptr;
  return json_object_object_get_ex(object, name, &found) ? found : nullptr;
}

bool contains(std::string_view text, std::string_view utf8, bool gbk) {
  return text.find(gbk ? std::string_view(Utf8ToGbk(utf8)) : utf8) != std::string_view::npos;
}

// The service answers some refusals with a message alone; both encodings are looked for in the
// encoding the endpoint speaks.
bool saysNotSignedIn(std::string_view text, bool gbk) { return contains(text, "未登录或者登录超时", gbk); }
bool saysNoPermission(std::string_view text, bool gbk) { return contains(text, "您没有权限进行此操作", gbk); }
bool saysBusy(std::string_view text, bool gbk) {
  return contains(text, "使用人数过多", gbk) || contains(text, "用户过多", gbk);
}

ReplyVerdict verdict(ReplyProblem problem, std::string_view utf8Reason, int retryAfter = -1) {
  return ReplyVerdict{problem, Utf8ToGbk(utf8Reason), retryAfter};
}

// A reply code with its message, as the log shows it: "服务返回代码-10000：使用人数过多"; a reply
// without a code gives the fallback.
std::string codeReason(long long code, json_object* root, const std::string& fallback) {
  if (code == 0) return fallback;
  std::string reason = "服务返回代码" + std::to_string(code);
  json_object* message = member(root, "message");
  if (message == nullptr) message = member(root, "msg");
  if (message != nullptr && json_object_is_type(message, json_type_string)) {
    const std::string text = json_object_get_string(message);
    if (!text.empty()) reason += "：" + text.substr(0, 200);
  }
  return reason;
}

}  // namespace

std::string_view unwrapJsonp(std::string_view reply) {
  const std::size_t open = reply.find('(');
  const std::size_t close = reply.rfind(')');
  const std::size_t brace = reply.find_first_not_of(" \t\r\n");
  // A reply that starts as JSON is JSON, even if a text inside it holds parentheses.
  if (brace != std::string_view::npos && (reply[brace] == '{' || reply[brace] == '[')) return reply;
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) return reply;
  return reply.substr(open + 1, close - open - 1);
}

int retryAfterSeconds(std::string_view headers) {
  return static_cast<int>(std::min<long long>(HeaderNumber(headers, "Retry-After"), 1'000'000));
}

ReplyVerdict judgeReply(std::string_view body, int status, std::string_view headers,
                        const ReplyShape& shape) {
  if (status == 429 || status == 503) {
    return verdict(ReplyProblem::busy, "HTTP " + std::to_string(status), retryAfterSeconds(headers));
  }
  if (body.empty() && status == 0) {
    ReplyVerdict silence = verdict(ReplyProblem::unanswered, "没有回应");
    silence.noResponse = true;
    return silence;
  }
  if (body.empty()) return verdict(ReplyProblem::unanswered, "空回复（HTTP " + std::to_string(status) + "）");
  if (shape.jsonp) body = unwrapJsonp(body);
  const std::string utf8 = shape.gbk ? GbkToUtf8(body) : std::string(body);
  const std::unique_ptr<json_object, JsonRelease> root(json_tokener_parse(utf8.c_str()));
  json_object* code = member(root.get(), "code");
  const long long codeValue = code != nullptr ? json_object_get_int64(code) : 0;
  json_object* data = shape.listAtTop ? root.get() : member(root.get(), "data");
  bool listed = json_object_is_type(member(data, shape.listMember), json_type_array);
  for (const char* other : shape.otherListMembers)
    if (other != nullptr) listed = listed || json_object_is_type(member(data, other), json_type_array);
  if (codeValue == 0 && listed) return {};
  // The paged list's end; a reply that is JSON without a code is not taken for one.
  if (shape.listAtTop && code != nullptr && codeValue == 0 && member(data, shape.listMember) == nullptr)
    return {};

  if (codeValue == kRefusedFormCode)
    return verdict(ReplyProblem::broken, codeReason(codeValue, root.get(), "") +
                                             "（服务拒绝了这种形式的请求：不像服务自己的网页发出的请求）");
  // The refusals' texts are looked for only in a reply without a list: a photo may be titled so.
  if (codeValue == kNotSignedInCode || saysNotSignedIn(body, shape.gbk))
    return verdict(ReplyProblem::notSignedIn, codeReason(codeValue, root.get(), "未登录或者登录超时"));
  if (codeValue == kNoPermissionCode || codeValue == kClosedSpaceCode || saysNoPermission(body, shape.gbk) ||
      (shape.sorryRefuses && contains(body, "对不起", shape.gbk)))
    return verdict(ReplyProblem::noPermission, codeReason(codeValue, root.get(), "您没有权限进行此操作"));
  const bool busyCode =
      std::find(std::begin(kBusyCodes), std::end(kBusyCodes), codeValue) != std::end(kBusyCodes);
  if (busyCode || saysBusy(body, shape.gbk))
    return verdict(ReplyProblem::busy, codeReason(codeValue, root.get(), "使用人数过多"),
                   retryAfterSeconds(headers));
  if (status >= 500) return verdict(ReplyProblem::unanswered, "HTTP " + std::to_string(status));
  if (root == nullptr)
    return verdict(ReplyProblem::broken, status >= 400 ? "HTTP " + std::to_string(status) : "回复不是JSON");
  if (codeValue != 0) return verdict(ReplyProblem::broken, codeReason(codeValue, root.get(), ""));
  return verdict(ReplyProblem::broken, std::string("回复里没有列表（data.") + shape.listMember + "）");
}

}  // namespace fotolun
