#include "standin/session_check.h"

#include "session/session_credentials.h"
#include "standin/derived_token.h"
#include "standin/sign_in_cookies.h"

namespace fotolun::standin {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::string> RequestCookie(const Request& request, std::string_view name) {
  const std::string header = request.header("Cookie");
  std::string_view rest = header;
  while (!rest.empty()) {
    const std::size_t end = rest.find(';');
    const std::string_view item = Trimmed(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    const std::size_t eq = item.find('=');
    if (eq != std::string_view::npos && Trimmed(item.substr(0, eq)) == name) {
      return std::string(Trimmed(item.substr(eq + 1)));
    }
  }
  return std::nullopt;
}

std::string SignedInNumber(const Request& request) {
  const std::string uin = RequestCookie(request, "uin").value_or("");
  std::size_t at = 0;
  if (at < uin.size() && (uin[at] == 'o' || uin[at] == 'O')) ++at;
  while (at + 1 < uin.size() && uin[at] == '0') ++at;
  const std::string digits = uin.substr(at);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return "";
  return digits;
}

bool IsSignedIn(const SampleData& data, const Request& request) {
  const std::optional<std::string> skey = RequestCookie(request, "skey");
  const std::string qq = SignedInNumber(request);
  if (!skey || qq.empty() || *skey != SkeyFor(data.seed(), qq)) return false;
  // The token of the skey value alone, whatever else the cookie text holds or in which order.
  return request.query("g_tk") == computeGTk("; skey=" + *skey + ";");
}

bool IsSignedInCurrent(const SampleData& data, const Request& request) {
  const std::string qq = SignedInNumber(request);
  if (qq.empty()) return false;
  const std::optional<std::string> pskey = RequestCookie(request, "p_skey");
  if (pskey) {
    // The same hash as over skey: the cookie text handed to it names the p_skey value as skey.
    return *pskey == PSkeyFor(data.seed(), qq) &&
           request.query("g_tk") == computeGTk("; skey=" + *pskey + ";");
  }
  return IsSignedIn(data, request);
}

namespace {

Access AccessTo(const SampleData& data, const Request& request, std::string_view hostUin, bool signedIn) {
  if (!signedIn) return Access::NotSignedIn;
  const PersonalAccount* owner = data.account(hostUin);
  if (owner != nullptr && owner->isPrivate && SignedInNumber(request) != hostUin) return Access::Refused;
  return Access::Allowed;
}

}  // namespace

Access PersonalAccess(const SampleData& data, const Request& request, std::string_view hostUin) {
  return AccessTo(data, request, hostUin, IsSignedIn(data, request));
}

Access CurrentPersonalAccess(const SampleData& data, const Request& request, std::string_view hostUin) {
  return AccessTo(data, request, hostUin, IsSignedInCurrent(data, request));
}

std::string AlbumPassCookieName(std::string_view albumId) { return "photo_pass_" + std::string(albumId); }

std::string AlbumPassValue(const SampleData& data, std::string_view qq, std::string_view albumId) {
  return DerivedToken(data.seed(), {"pass", qq, albumId}, 24);
}

bool MayOpenAlbum(const SampleData& data, const Request& request, std::string_view qq,
                  const PersonalAlbum& album) {
  if (!album.isProtected() || SignedInNumber(request) == qq) return true;
  return RequestCookie(request, AlbumPassCookieName(album.id)) == AlbumPassValue(data, qq, album.id);
}

}  // namespace fotolun::standin
