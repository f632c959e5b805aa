#pragma once
// The pages a person sees in the program's browser window: the sign-in page and a protected
// album's question page.
#include <string>

#include "standin/http_server.h"
#include "standin/sample_data.h"

namespace fotolun::standin {

// "/": a form asking for a QQ number; "/?login=<qq>[&layout=<cookie layout>]" signs in, setting the
// cookies of SignInCookies in the layout's order.
Response SignInPage(const SampleData& data, const Request& request);

// "/<qq>/photo/": the questions of qq's protected albums;
// "/<qq>/photo/?albumId=<id>&answer=<text>" checks an answer and, when right, sets the album's pass
// cookie.
Response AlbumQuestionPage(const SampleData& data, const Request& request, const std::string& qq);

}  // namespace fotolun::standin
