#pragma once
// What a listing reply amounts to: the list the service answered with, or the reason there is
// none. A reply that carries no list must never pass for an empty album.
#include <array>
#include <string_view>

#include "text/gbk_text.h"

namespace fotolun {

enum class ReplyProblem {
  none,          // the service answered with its list (which may be empty)
  unanswered,    // no response, an empty body or a server error: worth asking again
  busy,          // the service says it is overloaded (a busy code, 429, 503): wait, then ask again
  notSignedIn,   // the session is gone; asking again will not help
  noPermission,  // the owner does not let this session see it
  broken,        // an answer, but not a list: not JSON, an error code, the list member missing
};

// The shape of a good reply: data.<listMember> (or one of the other members named) is an array.
struct ReplyShape {
  const char* listMember = "";
  bool gbk = false;    // the endpoint answers in code page 936 rather than UTF-8
  bool jsonp = false;  // the JSON comes wrapped in a callback call: "name({...});"
  // The https group endpoints refuse a closed group or album with a message holding "对不起".
  bool sorryRefuses = false;
  std::array<const char*, 2> otherListMembers{};  // where some replies put the same list
  // The list is a member of the reply itself rather than of its data, and a reply whose list is
  // null (or missing) with code 0 is the end of a paged list: usable, listing nothing.
  bool listAtTop = false;
};

// The JSON inside a JSONP reply: from the first "(" to the last ")"; a reply that holds no call
// (a bare JSON refusal) is given back as it is.
std::string_view unwrapJsonp(std::string_view reply);

struct ReplyVerdict {
  ReplyProblem problem = ReplyProblem::none;
  Text reason;                 // GBK, for the log; empty for a good reply
  int retryAfterSeconds = -1;  // the server's own hint, -1 without one
  // Asked again and again until the patience was spent: the service is walled off for now.
  bool outlastedPatience = false;
  // Unanswered because no response came at all (rather than an empty body or a 5xx), and more
  // so, because nothing reached a server: the host or proxy did not resolve, the connection or
  // the proxy's tunnel was refused.
  bool noResponse = false;
  bool unreachable = false;

  bool usable() const { return problem == ReplyProblem::none; }
  bool worthRetrying() const { return problem == ReplyProblem::unanswered || problem == ReplyProblem::busy; }
};

// status 0 means no response at all; headers is the response's header block (for Retry-After).
ReplyVerdict judgeReply(std::string_view body, int status, std::string_view headers, const ReplyShape& shape);

// The service's reply codes and the texts it says the same with.
inline constexpr int kNotSignedInCode = -3000;
inline constexpr int kNoPermissionCode = -4009;
// A space whose owner keeps its posts to themselves: "对不起,主人设置了保密,您没有权限查看".
inline constexpr int kClosedSpaceCode = -10031;
inline constexpr int kBusyCodes[] = {-10000, -10001};
// Today's service refuses a request that does not look like its own pages' (an old agent, a form
// Content-Type on a GET): asking again the same way gets the same answer.
inline constexpr int kRefusedFormCode = -10049;

// Seconds of a Retry-After header line in headers, -1 without one (an HTTP date is not honoured).
int retryAfterSeconds(std::string_view headers);

}  // namespace fotolun
