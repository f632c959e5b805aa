#include "standin/route_reply.h"

#include "standin/json_text.h"
#include "standin/replies.h"

namespace fotolun::standin {
namespace {

std::string Record(const std::string& name, const std::string& host, const std::string& extra = "") {
  return "{\"r\":\"" + name + "\",\"p\":\"" + host + "\"" + extra + "}";
}

}  // namespace

std::string RouteText(const SampleData& data, std::string_view qq) {
  const StorageRoute& own = data.routeFor(qq);
  std::string records = Record(own.name, own.uploadHost, ",\"w\":1");
  for (const StorageRoute& other : data.routes()) {
    if (other.name == own.name) continue;
    records +=
        "," + Record(other.name + "_bak", other.albumHost) + "," + Record(other.name, other.uploadHost);
  }
  records += "," + Record(own.name + "_bak", own.albumHost, ",\"w\":0");
  records += "," + Record(own.name + "_bak", own.uploadHost, ",\"expired\":1");
  return "{\"code\":0,\"uin\":" + JsonString(qq) + ",\"version\":2,\"default\":\"" + own.name +
         "\",\"route\":[" + records + "]}";
}

Response RouteReply(const SampleData& data, const Request& request) {
  return TextReply(RouteText(data, request.query("UIN")));
}

}  // namespace fotolun::standin
