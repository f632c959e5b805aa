#include "support/temp_folder.h"

#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

#include "text/encoding.h"

namespace fotolun::testing {

namespace fs = std::filesystem;

// mkdtemp's promise, on every system: a name nobody held, made by this call, open to its owner alone.
TempFolder::TempFolder() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string suffix = std::to_string(random() % 1000000000000ULL);
    std::error_code error;
    if (fs::create_directory(base / ("fotolun-test-" + suffix), error)) {
      path_ = base / ("fotolun-test-" + suffix);
      fs::permissions(path_, fs::perms::owner_all, error);
      return;
    }
    if (error) throw std::runtime_error("cannot create a temporary folder: " + error.message());
  }
  throw std::runtime_error("cannot create a temporary folder: every name was taken");
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

Text TempFolder::gbkPath() const { return Utf8ToGbk(path_.string()); }

}  // namespace fotolun::testing
