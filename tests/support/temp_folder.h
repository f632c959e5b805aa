#pragma once
#include <filesystem>

#include "text/gbk_text.h"

namespace fotolun::testing {

// A new empty folder under the system's temporary folder, removed with its content at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  Text gbkPath() const;  // as the program holds paths

 private:
  std::filesystem::path path_;
};

}  // namespace fotolun::testing
