#include "names/unknown_names.h"

#include <cstdint>
#include <string>

#include "text/encoding.h"

namespace fotolun {
namespace {

// FNV-1a: the same id gives the same value on every machine and in every run.
std::uint64_t idHash(const Text& albumId) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char byte : albumId) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 1099511628211ull;
  }
  return hash;
}

}  // namespace

Text unknownAlbumName(const Text& albumId) {
  std::uint64_t hash = idHash(albumId);
  Text letters;
  for (int i = 0; i < 5; ++i, hash /= 26) letters += static_cast<char>('A' + hash % 26);
  return Utf8ToGbk("未知相册") + letters;
}

Text unnamedRowName(const Text& albumId) {
  return Utf8ToGbk("未知名称_") + std::to_string(idHash(albumId) % 100 + 1);
}

}  // namespace fotolun
