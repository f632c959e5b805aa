#pragma once
// The addresses of the service's https endpoint family: the proxy endpoints its own pages call
// today, on the personal-space host and the h5 host, with the p_skey token.
#include "endpoints/service_hosts.h"
#include "program/program.h"
#include "service/reply_verdict.h"
#include "service/service_get.h"
#include "session/session_credentials.h"

namespace fotolun {

// Albums come thirty to a page, photos five hundred, group albums a thousand; the photo viewer
// tells about up to two hundred photos from the one it is asked about.
inline constexpr int kCurrentAlbumPage = 30;
inline constexpr int kCurrentPhotoPage = 500;
inline constexpr int kCurrentGroupAlbumPage = 1000;
inline constexpr int kCurrentDetailBatch = 200;

Text currentAlbumListUrl(const ServiceHosts& hosts, const SessionCredentials& session, const Text& owner,
                         int pageStart);
Text currentPhotoListUrl(const ServiceHosts& hosts, const SessionCredentials& session, const Text& owner,
                         const Text& albumId, int pageStart);
// picKey and the postNum photos after it.
Text currentPhotoDetailUrl(const ServiceHosts& hosts, const SessionCredentials& session, const Text& owner,
                           const Text& albumId, const Text& picKey, int postNum);
Text currentGroupAlbumListUrl(const ServiceHosts& hosts, const SessionCredentials& session, const Text& group,
                              int start);
Text currentGroupPhotoListUrl(const ServiceHosts& hosts, const SessionCredentials& session, const Text& group,
                              const Text& albumId, int start);

// The whole session (the cookie store's HttpOnly cookies too), from the page that would ask:
// the signed-in user's own page for album lists, the owner's album page for photos.
ServiceGetOptions currentListingOptions(const ServiceHosts& hosts, const Text& refererNumber, bool photos);

// The reply shapes: JSONP for the personal endpoints, JSON for the group ones.
inline constexpr ReplyShape kCurrentAlbumShape{
    "albumListModeSort", false, true, false, {"albumListModeClass", "albumList"}};
inline constexpr ReplyShape kCurrentPhotoShape{"photoList", false, true};
inline constexpr ReplyShape kCurrentDetailShape{"photos", false, true};
inline constexpr ReplyShape kCurrentGroupAlbumShape{"album", false, false, true};
inline constexpr ReplyShape kCurrentGroupPhotoShape{"photolist", false, false, true, {"photoList", "photos"}};

}  // namespace fotolun

namespace fotolun {

// Some sessions that expired get the busy code rather than the signed-out one. Once a busy
// service has been waited out, one plain request for the signed-in user's own albums tells the
// two apart: false when even that gets no list.
bool currentSessionAnswers(Context& context);

}  // namespace fotolun
