#pragma once
#include <array>
#include <memory>
#include <string>

#include "text/gbk_text.h"

struct json_object;

namespace fotolun {

// The photo array of a listing reply, data.<arrayMember>, with each photo's members read as
// json-c prints them: strings in double quotes with their escapes ("/" as "\/"), numbers as their
// digits, and a missing member or a JSON null as null.
//
// The reply is parsed as the UTF-8 it arrives in and each member's text is then converted to GBK.
// Converting the whole reply first would hand json-c GBK bytes, whose trail bytes may be a
// backslash, and would leave the service's \u escapes decoded to UTF-8 inside a GBK text.
class PhotoListing {
 public:
  // The first of the members named that holds an array is the photo array.
  PhotoListing(const Text& utf8Reply, const char* arrayMember, std::array<const char*, 2> otherMembers = {});
  ~PhotoListing();
  PhotoListing(const PhotoListing&) = delete;
  PhotoListing& operator=(const PhotoListing&) = delete;

  // 0 when the reply is not JSON, lacks the members or the array is not an array.
  int count() const { return count_; }
  // The JSON text of member of photo index (0-based), in GBK.
  Text memberText(int index, const char* member) const;
  // The same for a member of an object member ("video_info", "download_url").
  Text memberText(int index, const char* member, const char* subMember) const;
  // A member's value as the UTF-8 the reply holds: a string without quotes or escapes, a number
  // or true/false as written; "" where it is missing, null, an object or an array.
  std::string memberUtf8(int index, const char* member, const char* subMember = nullptr) const;
  // A member read as an address (addressFromJsonText), "" where it is missing or null.
  Text address(int index, const char* member, const char* subMember = nullptr) const;

 private:
  json_object* root_ = nullptr;
  json_object* photos_ = nullptr;
  int count_ = 0;
};

// The address of a member's JSON text: backslashes and then double quotes removed, so an
// escaped "\/" reads as "/".
Text addressFromJsonText(const Text& jsonText);
// The file-name part of a photo's title: double quotes removed, blanks trimmed, then cleaned of
// the characters a file name must not hold.
Text photoNameFromJsonText(const Text& jsonText);

}  // namespace fotolun
