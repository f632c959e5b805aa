#include "standin/replies.h"

#include <cstdio>

#include "standin/json_text.h"
#include "standin/sample_data.h"
#include "story/html_text.h"
#include "text/encoding.h"

namespace fotolun::standin {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Response JsonReply(std::string utf8Json) {
  return {200, {{"Content-Type", "application/json; charset=utf-8"}}, std::move(utf8Json)};
}

Response JsonpReply(const Request& request, const std::string& utf8Json, const std::string& fallback) {
  std::string callback = request.query("callback");
  // Only a name is echoed: the reply is run as script by whoever asked.
  if (callback.empty() ||
      callback.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$.") !=
          std::string::npos) {
    callback = fallback;
  }
  return {
      200, {{"Content-Type", "application/x-javascript; charset=utf-8"}}, callback + "(" + utf8Json + ");"};
}

Response GbkJsonReply(const std::string& utf8Json) {
  return {200, {{"Content-Type", "application/json; charset=GBK"}}, Utf8ToGbk(utf8Json)};
}

Response HtmlPage(std::string utf8Html) {
  return {200, {{"Content-Type", "text/html; charset=utf-8"}}, std::move(utf8Html)};
}

Response TextReply(std::string text) {
  return {200, {{"Content-Type", "text/plain; charset=utf-8"}}, std::move(text)};
}

Response BytesReply(std::string bytes, std::string contentType) {
  return {200, {{"Content-Type", std::move(contentType)}}, std::move(bytes)};
}

Response NotFound() {
  return {404,
          {{"Content-Type", "text/html; charset=utf-8"}},
          "<html><body><h1>404 Not Found</h1></body></html>"};
}

std::string RefusalJson(int code, std::string_view message) {
  return JsonObject({JsonMember("code", std::to_string(code)), JsonMember("subcode", std::to_string(code)),
                     JsonMember("message", JsonString(message)), JsonMember("data", "{}")});
}

std::string NotSignedInJson() { return RefusalJson(-3000, kNotSignedInMessage); }
std::string NoPermissionJson() { return RefusalJson(-10050, kNoPermissionMessage); }

std::string CurrentNotSignedInJson() {
  return R"({"code":-3000,"subcode":-4001,"message":"请先登录","data":{}})";
}

std::string CurrentNoPermissionJson() {
  return R"({"code":-4009,"subcode":0,"message":"您没有权限进行此操作","data":{}})";
}

std::string OkJson(const std::vector<std::string>& dataMembers) {
  return JsonObject({JsonMember("code", "0"), JsonMember("subcode", "0"), JsonMember("message", "\"\""),
                     JsonMember("default", "0"), JsonMember("data", JsonObject(dataMembers))});
}

int QueryNumber(const Request& request, const std::string& name, int fallback) {
  const std::string value = request.query(name);
  if (value.empty() || value.size() > 9 || value.find_first_not_of("0123456789") != std::string::npos) {
    return fallback;
  }
  return std::stoi(value);
}

std::string UrlDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string UrlEncoded(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || c == '-' || c == '_' ||
        c == '.') {
      out += c;
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", b);
      out += escaped;
    }
  }
  return out;
}

std::string HtmlEscaped(std::string_view text) { return htmlAttribute(text); }

void AddUploadSize(std::vector<std::string>& members, const SampleData& data, const std::string& url) {
  const PictureSource* shown = data.pictureAt(url);
  // Below four times: a quarter of it stays smaller than the copy served.
  members.push_back(JsonMember("width", std::to_string(shown == nullptr ? 0 : shown->width * 7 / 2)));
  members.push_back(JsonMember("height", std::to_string(shown == nullptr ? 0 : shown->height * 7 / 2)));
}

}  // namespace fotolun::standin
