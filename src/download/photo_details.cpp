#include "download/photo_details.h"

#include "service/current_endpoints.h"
#include "service/listing_request.h"
#include "story/photo_listing.h"

namespace fotolun {
namespace {

constexpr RetryFloor kDetailFloor{3, 1000};

}  // namespace

const PhotoDetail* PhotoDetails::find(const Text& picKey) {
  if (const auto it = known_.find(picKey); it != known_.end()) return &it->second;
  if (picKey.empty() || !failure_.empty() || asked_.count(picKey) != 0) return nullptr;
  asked_.insert(picKey);

  Program& program = context_.program;
  const SessionCredentials session = program.credentials.get();
  const ListingReply reply = requestListing(
      context_,
      currentPhotoDetailUrl(program.hosts, session, job_.personalOwner, job_.albumId, picKey,
                            kCurrentDetailBatch - 1),
      kDetailFloor, kCurrentDetailShape, currentListingOptions(program.hosts, job_.personalOwner, true));
  if (!reply.usable()) {
    failure_ = reply.verdict.reason;
    return nullptr;
  }
  const PhotoListing listing(reply.text, "photos");
  for (int i = 0; i < listing.count(); ++i) {
    const Text key = listing.address(i, "picKey");
    if (key.empty()) continue;
    PhotoDetail& detail = known_[key];
    detail.raw = listing.address(i, "raw");
    detail.originUrl = listing.address(i, "origin_url");
    detail.downloadUrl = listing.address(i, "video_info", "download_url");
    detail.videoUrl = listing.address(i, "video_info", "video_url");
    detail.videoFormat = listing.address(i, "video_info", "format");
  }
  const auto it = known_.find(picKey);
  return it == known_.end() ? nullptr : &it->second;
}

}  // namespace fotolun
