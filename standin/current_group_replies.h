#pragma once
// The group album endpoints of the service's current family, plain JSON under
// "/proxy/domain/u.photo.qzone.qq.com/cgi-bin/upp/": the p_skey session, groups that refuse
// non-members, closed albums, and video entries.
#include "standin/http_server.h"
#include "standin/sample_data.h"

namespace fotolun::standin {

// "qun_list_album_v2?qunId=..&start=..&num=..": data.album[], 1000 a page.
Response CurrentGroupAlbumListReply(const SampleData& data, const Request& request);

// "qun_list_photo_v2?qunId=..&albumId=..&start=..&num=..": the photos, 500 a page, under one of
// three keys the album's place in its group picks.
Response CurrentGroupPhotoPageReply(const SampleData& data, const Request& request);

}  // namespace fotolun::standin
