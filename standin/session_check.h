#pragma once
// Who is asking: the session a request's cookies carry, and what it may see.
#include <optional>
#include <string>
#include <string_view>

#include "standin/http_server.h"
#include "standin/sample_data.h"

namespace fotolun::standin {

// The value of the cookie of exactly that name in the request's Cookie header.
std::optional<std::string> RequestCookie(const Request& request, std::string_view name);

// The number the uin cookie names ("o0012345678" gives "12345678"), "" without one.
std::string SignedInNumber(const Request& request);

// A signed-in request carries the skey the stand-in issued to its uin, and a g_tk query value that
// is the token of that skey.
bool IsSignedIn(const SampleData& data, const Request& request);

// The current endpoints take p_skey and its token; a request without a p_skey cookie may still
// show the skey and its token. A wrong p_skey is not made good by a right skey.
bool IsSignedInCurrent(const SampleData& data, const Request& request);

enum class Access { NotSignedIn, Refused, Allowed };

// A private account's albums are shown to its owner only.
Access PersonalAccess(const SampleData& data, const Request& request, std::string_view hostUin);
Access CurrentPersonalAccess(const SampleData& data, const Request& request, std::string_view hostUin);

// The cookie a right answer to a protected album's question sets.
std::string AlbumPassCookieName(std::string_view albumId);
std::string AlbumPassValue(const SampleData& data, std::string_view qq, std::string_view albumId);
// A protected album opens to its owner and to whoever answered its question.
bool MayOpenAlbum(const SampleData& data, const Request& request, std::string_view qq,
                  const PersonalAlbum& album);

}  // namespace fotolun::standin
