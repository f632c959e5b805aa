#pragma once
// A space's feed ("说说") under "/proxy/domain/taotao.qq.com/cgi-bin/": the p_skey session as the
// album endpoints, a Referer from the space's own pages, the space's privacy.
#include "standin/http_server.h"
#include "standin/sample_data.h"

namespace fotolun::standin {

// "emotion_cgi_msglist_v6?uin=..&pos=..&num=..": the posts at places [pos, pos+num), newest first,
// less those the asker may not see (hidden posts are the owner's alone); total counts them all,
// and msglist is null from the last place on. num above 20 is answered busy (-10000).
Response FeedPageReply(const SampleData& data, const Request& request);

// "emotion_cgi_get_pics_v6?tid=..&uin=..": imageUrls, every picture of the post; JSONP when a
// callback is named, JSON otherwise.
Response FeedPicturesReply(const SampleData& data, const Request& request);

}  // namespace fotolun::standin
