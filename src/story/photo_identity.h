#pragma once
// What makes two listed photos the same photo across runs, so that a re-run can tell a photo it
// already saved from a new one even when the album's order, titles or photo hosts have changed.
#include <compare>
#include <string>
#include <string_view>

namespace fotolun {

// Which copy of a photo was saved: the HD and the original of one photo are different downloads.
enum class CopyKind { hd, original, group };

struct PhotoIdentity {
  CopyKind kind = CopyKind::hd;
  // The listing's own photo key, else the address path. Bytes as the listing gives them; "" when
  // the listing gave nothing to tell the photo by (such a photo is never skipped nor recorded).
  std::string key;

  auto operator<=>(const PhotoIdentity&) const = default;
};

// The identity of one listed photo. The three texts are member texts as json-c prints them
// (a string in double quotes with "/" possibly written "\/", a missing member as null); a bare
// address is taken as well. lloc wins over sloc; without either the key is the address path
// without host, query and group size marker ("200?w5" / "800?w5"), so the same photo served by
// another photo host, or listed in another size, is the same photo.
PhotoIdentity photoIdentity(CopyKind kind, std::string_view llocText, std::string_view slocText,
                            std::string_view address);

}  // namespace fotolun
