#pragma once
// Requests made by hand, for calling the stand-in's service without a server in between.
#include <json-c/json.h>

#include <memory>
#include <string>

#include "standin/http_server.h"
#include "standin/picture_cache.h"
#include "standin/sample_data.h"
#include "standin/service_handler.h"
#include "standin/version_page.h"

namespace fotolun::standin {

// The service's handler over its own sample data, called directly.
struct DirectService {
  explicit DirectService(std::uint64_t seed = 1) : data(seed) {}
  Response get(const std::string& url, const std::string& cookieText = "") const;

  SampleData data;
  PictureCache pictures{data};
  VersionPage version;
  QrLogins qrLogins{data};
  PhotoKeys photoKeys{1};
  ServiceHandler handler{data, pictures, version, qrLogins, photoKeys};
};

struct JsonFree {
  void operator()(json_object* object) const { json_object_put(object); }
};
using JsonPtr = std::unique_ptr<json_object, JsonFree>;

// The reply parsed by json-c, as the program parses it; nullptr when it is not JSON.
JsonPtr ParseJson(const std::string& text);
// The array at data.<member>, nullptr when there is none.
json_object* DataArray(const JsonPtr& reply, const char* member);
// A member's string value, "" when missing.
std::string StringMember(json_object* object, const char* member);

// A GET of an absolute "http://host/target" address, with a Cookie header when cookieText is set.
Request RequestFor(const std::string& url, const std::string& cookieText = "");

// The query tail every signed-in list request carries: the g_tk of the cookie text.
std::string GtkOf(const std::string& cookieText);

// The listing addresses the program builds, with the parts the stand-in reads.
std::string AlbumListUrl(const SampleData& data, const std::string& qq, const std::string& gtk);
std::string PhotoPageUrl(const std::string& qq, const std::string& albumId, int pageStart,
                         const std::string& gtk);
std::string FullSizeUrl(const SampleData& data, const std::string& qq, const std::string& albumId,
                        const std::string& gtk);
std::string GroupTotalUrl(const std::string& group, const std::string& gtk);
std::string GroupAlbumPageUrl(const std::string& group, int start, const std::string& gtk);
std::string GroupPhotoPageUrl(const std::string& group, const std::string& albumId, int start,
                              const std::string& gtk);

}  // namespace fotolun::standin
