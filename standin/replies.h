#pragma once
// The pieces every endpoint's reply is made of.
#include <string>
#include <string_view>
#include <vector>

#include "standin/http_server.h"
#include "standin/sample_data.h"

namespace fotolun::standin {

// The service's refusals; the program looks for these texts anywhere in a reply.
inline constexpr std::string_view kNotSignedInMessage = "未登录或者登录超时";
inline constexpr std::string_view kNoPermissionMessage = "您没有权限进行此操作";

Response JsonReply(std::string utf8Json);
// "callback(" + JSON + ");", the callback named by the request's callback parameter or fallback.
Response JsonpReply(const Request& request, const std::string& utf8Json,
                    const std::string& fallback = "shine_Callback");
// The reply in code page 936. What 936 cannot hold (emoji) becomes "?", as a service that stores
// GBK text does with it.
Response GbkJsonReply(const std::string& utf8Json);
Response HtmlPage(std::string utf8Html);
Response TextReply(std::string text);
Response BytesReply(std::string bytes, std::string contentType);
Response NotFound();

// {"code":...,"message":"..."} with an empty data object.
std::string RefusalJson(int code, std::string_view message);
std::string NotSignedInJson();
std::string NoPermissionJson();
// The current endpoints' refusals.
std::string CurrentNotSignedInJson();
std::string CurrentNoPermissionJson();
// {"code":0,"subcode":0,"message":"","default":0,"data":{...}}.
std::string OkJson(const std::vector<std::string>& dataMembers);

// A photo entry's width and height: those of the upload, three and a half times the size of the
// copy its address serves (so that the service's 96 x 96 placeholder is told from it), 0 for an
// address no picture stands at.
void AddUploadSize(std::vector<std::string>& members, const SampleData& data, const std::string& url);

// A query value as a non-negative number; fallback when it is missing or not digits.
int QueryNumber(const Request& request, const std::string& name, int fallback);
// Form decoding: "+" is a space and %XX a byte.
std::string UrlDecoded(std::string_view text);
std::string HtmlEscaped(std::string_view text);
std::string UrlEncoded(std::string_view text);

}  // namespace fotolun::standin
