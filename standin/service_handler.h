#pragma once
// The service's answer to one request, whatever host it was sent to: endpoints are told apart by
// their paths, and the host counts only for pictures, album hosts and the maker's page.
#include "standin/http_server.h"
#include "standin/photo_keys.h"
#include "standin/picture_cache.h"
#include "standin/qr_logins.h"
#include "standin/sample_data.h"
#include "standin/version_page.h"

namespace fotolun::standin {

// Which endpoint families answer; one switched off answers 404 everywhere, as a service that
// has retired it.
struct EndpointFamilies {
  bool classic = true;  // plain http: fcg_list_album_v2, cgi_list_photo, cgi_view_album_v2, the
                        // group lists under /cgi-bin/upp/, and GetRoute
  bool current = true;  // the "/proxy/domain/..." endpoints
  int albumPage = 30;   // albums a page of the https album list holds at most
};

class ServiceHandler {
 public:
  ServiceHandler(const SampleData& data, PictureCache& pictures, const VersionPage& version,
                 QrLogins& qrLogins, PhotoKeys& photoKeys, EndpointFamilies families = {})
      : data_(data),
        pictures_(pictures),
        version_(version),
        qrLogins_(qrLogins),
        photoKeys_(photoKeys),
        families_(families) {}

  Response operator()(const Request& request) const;

 private:
  // Album hosts answer only for the numbers whose route names them; a loopback origin answers for all.
  bool servesAlbumsOf(const Request& request, const std::string& qq) const;
  Response classicReply(const Request& request) const;
  Response currentReply(const Request& request) const;
  Response currentPhotoPage(const Request& request) const;

  const SampleData& data_;
  PictureCache& pictures_;
  const VersionPage& version_;
  QrLogins& qrLogins_;
  PhotoKeys& photoKeys_;
  EndpointFamilies families_;
};

}  // namespace fotolun::standin
