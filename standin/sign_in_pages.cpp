#include "standin/sign_in_pages.h"

#include "standin/replies.h"
#include "standin/session_check.h"
#include "standin/sign_in_cookies.h"

namespace fotolun::standin {
namespace {

std::string Page(const std::string& title, const std::string& body) {
  return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + HtmlEscaped(title) +
         "</title></head>\n<body>\n" + body + "</body></html>\n";
}

std::string SignInForm(const SampleData& data, const std::string& notice) {
  std::string body = "<h1>QQ空间登录</h1>\n";
  if (!notice.empty()) body += "<p id=\"notice\">" + HtmlEscaped(notice) + "</p>\n";
  body +=
      "<form id=\"login_form\" method=\"get\" action=\"/\">\n"
      "<label>QQ号码 <input type=\"text\" id=\"login\" name=\"login\"></label>\n"
      "<label>Cookie 顺序 <select id=\"layout\" name=\"layout\">";
  for (CookieLayout layout : {CookieLayout::Inside, CookieLayout::UinFirst, CookieLayout::UinLast,
                              CookieLayout::SkeyFirst, CookieLayout::SkeyLast}) {
    const std::string name(CookieLayoutName(layout));
    body += "<option value=\"" + name + "\">" + name + "</option>";
  }
  body += "</select></label>\n<button type=\"submit\" id=\"login_button\">登录</button>\n</form>\n";
  // Side by side: whom to sign in as, and which groups to list once signed in.
  body +=
      "<div style=\"display:flex;gap:4em\">\n<div><h2>示例QQ号码（点击登录）</h2>\n<ul id=\"accounts\">\n";
  for (const PersonalAccount& account : data.accounts()) {
    body += "<li><a href=\"/?login=" + account.qq + "\">" + account.qq + "</a></li>\n";
  }
  body += "</ul></div>\n<div><h2>示例QQ群号（选“QQ群相册”后输入）</h2>\n<ul id=\"groups\">\n";
  for (const Group& group : data.groups()) {
    std::string about = std::to_string(group.albums.size()) + "个相册";
    if (!group.signedInIsMember) about += "，登录的账号不是群成员";
    body += "<li>" + group.number + "（" + HtmlEscaped(about) + "）</li>\n";
  }
  return body + "</ul></div>\n</div>\n";
}

bool IsNumber(const std::string& text) {
  return !text.empty() && text.size() <= 12 && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

Response SignInPage(const SampleData& data, const Request& request) {
  const std::string qq = UrlDecoded(request.query("login"));
  if (qq.empty()) return HtmlPage(Page("QQ空间登录", SignInForm(data, "")));
  if (!IsNumber(qq)) return HtmlPage(Page("QQ空间登录", SignInForm(data, "请输入正确的QQ号码")));

  const auto layout = CookieLayoutNamed(UrlDecoded(request.query("layout"))).value_or(CookieLayout::Inside);
  Response response = HtmlPage(Page("登录成功", "<h1 id=\"signed_in\">登录成功</h1>\n<p>" + qq + "</p>\n"));
  // As the real sign-in does, p_skey may be kept from script: only the browser's own cookie store has it.
  const bool pskeyHttpOnly = request.query("pskey") == "httponly";
  for (const Cookie& cookie : SignInCookies(data.seed(), qq, layout)) {
    std::string value = SetCookieValue(cookie, request.host);
    if (pskeyHttpOnly && cookie.name == "p_skey") value += "; HttpOnly";
    response.headers.emplace_back("Set-Cookie", std::move(value));
  }
  return response;
}

Response AlbumQuestionPage(const SampleData& data, const Request& request, const std::string& qq) {
  const PersonalAccount* owner = data.account(qq);
  std::string body = "<h1>" + HtmlEscaped(qq) + " 的相册</h1>\n";
  Response response;
  const std::string answeredId = UrlDecoded(request.query("albumId"));
  if (const PersonalAlbum* album = data.personalAlbum(qq, answeredId);
      album != nullptr && album->isProtected()) {
    if (UrlDecoded(request.query("answer")) == album->answer) {
      body += "<p id=\"result\">回答正确，可以访问相册《" + HtmlEscaped(album->name) + "》</p>\n";
      response.headers.emplace_back(
          "Set-Cookie", SetCookieValue({AlbumPassCookieName(album->id), AlbumPassValue(data, qq, album->id)},
                                       request.host));
    } else {
      body += "<p id=\"result\">回答错误</p>\n";
    }
  }
  if (owner != nullptr) {
    for (const PersonalAlbum& album : owner->albums) {
      if (!album.isProtected()) continue;
      body += "<form method=\"get\" action=\"/" + qq + "/photo/\">\n<p>" + HtmlEscaped(album.name) + "：" +
              HtmlEscaped(album.question) + "</p>\n<input type=\"hidden\" name=\"albumId\" value=\"" +
              HtmlEscaped(album.id) + "\">\n<input type=\"text\" name=\"answer\" id=\"answer_" +
              HtmlEscaped(album.id) + "\">\n<button type=\"submit\">确定</button>\n</form>\n";
    }
  }
  Response page = HtmlPage(Page("相册", body));
  page.headers.insert(page.headers.end(), response.headers.begin(), response.headers.end());
  return page;
}

}  // namespace fotolun::standin
