#pragma once
// Where a space's posts are listed: today's proxy endpoints of the posts page, with the p_skey
// token, asked as that page asks.
#include "endpoints/service_hosts.h"
#include "service/reply_verdict.h"
#include "service/service_get.h"
#include "session/session_credentials.h"

namespace fotolun {

// Posts a page of the list holds: asking for more fails on some spaces.
inline constexpr int kFeedPageSize = 20;

// The page of owner's posts whose places start at position (every post has one, those the asker
// may not see too).
Text feedPageUrl(const ServiceHosts& hosts, const SessionCredentials& session, const Text& owner,
                 int position);
// Every picture of one post, for a post that has more than the list gives.
Text feedPicturesUrl(const ServiceHosts& hosts, const SessionCredentials& session, const Text& owner,
                     const Text& tid);

// The posts page of owner's space: its Referer and Origin, the session by the cookie rules.
ServiceGetOptions feedRequestOptions(const ServiceHosts& hosts, const Text& owner);
// The Referer of the posts' pictures and videos.
Text feedPageAddress(const ServiceHosts& hosts, const Text& owner);

// The list comes in a JSONP call with msglist at its top, null at the end; a post's pictures
// come as imageUrls.
inline constexpr ReplyShape kFeedPageShape{"msglist", false, true, false, {}, true};
inline constexpr ReplyShape kFeedPicturesShape{"imageUrls", false, true, false, {}, true};

}  // namespace fotolun
