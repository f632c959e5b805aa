#pragma once
// The maker's update page, which lists the latest version of each of the maker's programs.
#include <mutex>
#include <string>

#include "standin/http_server.h"

namespace fotolun::standin {

class VersionPage {
 public:
  explicit VersionPage(std::string makerHost = "fotolun.example.org", std::string latestVersion = "1.4");

  // Tests change it while the server runs.
  void setLatestVersion(std::string version);
  std::string latestVersion() const;

  // Every path on the maker's host, and "/update.txt" or "/fotolun/update.txt" on any host.
  bool serves(const Request& request) const;
  Response reply() const;

 private:
  const std::string makerHost_;
  mutable std::mutex mutex_;
  std::string latestVersion_;
};

}  // namespace fotolun::standin
