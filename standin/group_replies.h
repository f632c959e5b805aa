#pragma once
// The group (QQ 群) album endpoints: the album total, the album pages and the photo pages.
#include <string>
#include <vector>

#include "standin/http_server.h"
#include "standin/sample_data.h"

namespace fotolun::standin {

// The total reply, laid out so that the number stands between "\"total\" :" and "\n}\n".
std::string GroupTotalText(const Group& group);

// "/cgi-bin/upp/qun_list_album_v2?qunId=..&start=..&num=..&g_tk=..": with getTotalPhoto=1 the
// total reply, otherwise data.album[] (title, photocnt, id), at most 1000 a page.
Response GroupAlbumListReply(const SampleData& data, const Request& request);

// The members a photo page gives for one group photo: burl, name (when it has one), uploadtime.
std::vector<std::string> GroupPhotoMembers(const GroupPhoto& photo);

// "/cgi-bin/upp/qun_list_photo_v2?qunId=..&albumId=..&start=..&num=..&g_tk=..": data.photos[]
// (burl, name), at most 500 a page.
Response GroupPhotoPageReply(const SampleData& data, const Request& request);

}  // namespace fotolun::standin
