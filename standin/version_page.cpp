#include "standin/version_page.h"

#include "standin/replies.h"

namespace fotolun::standin {

VersionPage::VersionPage(std::string makerHost, std::string latestVersion)
    : makerHost_(std::move(makerHost)), latestVersion_(std::move(latestVersion)) {}

void VersionPage::setLatestVersion(std::string version) {
  std::lock_guard<std::mutex> lock(mutex_);
  latestVersion_ = std::move(version);
}

std::string VersionPage::latestVersion() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return latestVersion_;
}

bool VersionPage::serves(const Request& request) const {
  return request.host == makerHost_ || request.path == "/update.txt" || request.path == "/fotolun/update.txt";
}

Response VersionPage::reply() const {
  // Another program's line comes first, so that only the program's own key finds its version.
  return TextReply("#fotoalbumtool@@3.2#fotoalbumtool\r\n#fotolun@@" + latestVersion() + "#fotolun\r\n");
}

}  // namespace fotolun::standin
