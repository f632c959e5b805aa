#pragma once
// The personal album endpoints of the service's current family, all JSONP under
// "/proxy/domain/photo.qzone.qq.com/fcgi-bin/": they take the p_skey session (see
// IsSignedInCurrent) and know about video entries.
#include <string>
#include <vector>

#include "standin/http_server.h"
#include "standin/sample_data.h"

namespace fotolun::standin {

// "fcg_list_album_v3?hostUin=..&pageStart=..&pageNum=..": 30 albums a page at most, under the
// one of three keys the owner's account index picks, with nextPageStart to ask for the next page.
Response CurrentAlbumListReply(const SampleData& data, const Request& request, int pageLimit = 30);

// "cgi_list_photo?hostUin=..&topicId=..&pageStart=..&pageNum=..": data.photoList[], 500 a page.
// The pictures it names (PictureSource keys) are added to listed when given.
Response CurrentPhotoPageReply(const SampleData& data, const Request& request,
                               std::vector<std::string>* listed = nullptr);

// "cgi_floatview_photo_list_v2?topicId=..&picKey=..&postNum=..": the photo picKey names and up to
// postNum after it, with the video addresses.
Response FloatviewReply(const SampleData& data, const Request& request);

}  // namespace fotolun::standin
