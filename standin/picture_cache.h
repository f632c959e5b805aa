#pragma once
// The bytes of the sample pictures, made on first request and kept, so that every fetch of an
// address returns the same bytes and a page of photos is not re-encoded for every download.
#include <map>
#include <mutex>
#include <string>

#include "standin/sample_data.h"

namespace fotolun::standin {

class PictureCache {
 public:
  explicit PictureCache(const SampleData& data) : data_(data) {}

  std::string bytes(const PictureSource& source);

 private:
  const SampleData& data_;
  std::mutex mutex_;
  std::map<std::string, std::string> made_;  // by PictureSource::key
};

}  // namespace fotolun::standin
