#pragma once
#include <string>
#include <string_view>

#include "standin/http_server.h"
#include "standin/sample_data.h"

namespace fotolun::standin {

// The storage route of a number, as the routing host writes it: one record per route, the
// number's default route first. Records of other routes (their backups included) stand before the
// default's backup and a stale copy of that backup comes last, so only the first record named
// "<default>_bak" leads to the host that lists the number's albums.
std::string RouteText(const SampleData& data, std::string_view qq);

// "/GetRoute?UIN=<n>&type=json&version=2&json_esc=1"
Response RouteReply(const SampleData& data, const Request& request);

}  // namespace fotolun::standin
