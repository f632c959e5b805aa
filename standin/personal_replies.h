#pragma once
// The personal (Qzone) album endpoints: the album list of a number, its photo pages and the
// full-size listing of an album.
#include <string>
#include <vector>

#include "standin/http_server.h"
#include "standin/sample_data.h"

namespace fotolun::standin {

// "/fcgi-bin/fcg_list_album_v2?hostUin=..&g_tk=..": data.album[], in code page 936.
Response PersonalAlbumListReply(const SampleData& data, const Request& request);

// "/p/plist.photo/fcgi-bin/cgi_list_photo" and "/fcgi-bin/cgi_list_photo" (hostUin, topicId,
// pageStart, pageNum, g_tk): data.photoList[], at most 500 a page, UTF-8.
Response PhotoPageReply(const SampleData& data, const Request& request);

// "/cgi-bin/common/cgi_view_album_v2?hostUin=..&albumId=..&g_tk=..": data.pic[], every photo at
// once, UTF-8 (whatever outCharset asks for).
Response FullSizeListReply(const SampleData& data, const Request& request);

// The members every photo listing gives for people: desc, and exif (else an empty cameratype).
void AddStory(std::vector<std::string>& members, const PersonalPhoto& photo);

}  // namespace fotolun::standin
