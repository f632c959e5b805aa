#include "story/photo_listing.h"

#include <json-c/json.h>

#include "names/clean_file_name.h"
#include "text/encoding.h"

namespace fotolun {

PhotoListing::PhotoListing(const Text& utf8Reply, const char* arrayMember,
                           std::array<const char*, 2> otherMembers) {
  root_ = json_tokener_parse(utf8Reply.c_str());
  json_object* data = json_object_object_get(root_, "data");
  if (!json_object_is_type(data, json_type_object)) return;
  for (const char* member : {arrayMember, otherMembers[0], otherMembers[1]}) {
    json_object* photos = member != nullptr ? json_object_object_get(data, member) : nullptr;
    if (photos != nullptr && json_object_is_type(photos, json_type_array)) {
      photos_ = photos;
      count_ = static_cast<int>(json_object_array_length(photos));
      return;
    }
  }
}

PhotoListing::~PhotoListing() {
  if (root_ != nullptr) json_object_put(root_);
}

Text PhotoListing::memberText(int index, const char* member) const {
  if (photos_ == nullptr || index < 0 || index >= count_) return "null";
  json_object* photo = json_object_array_get_idx(photos_, static_cast<size_t>(index));
  return Utf8ToGbk(json_object_to_json_string(json_object_object_get(photo, member)));
}

Text PhotoListing::memberText(int index, const char* member, const char* subMember) const {
  if (photos_ == nullptr || index < 0 || index >= count_) return "null";
  json_object* photo = json_object_array_get_idx(photos_, static_cast<size_t>(index));
  json_object* object = json_object_object_get(photo, member);
  if (!json_object_is_type(object, json_type_object)) return "null";
  return Utf8ToGbk(json_object_to_json_string(json_object_object_get(object, subMember)));
}

std::string PhotoListing::memberUtf8(int index, const char* member, const char* subMember) const {
  if (photos_ == nullptr || index < 0 || index >= count_) return "";
  json_object* value =
      json_object_object_get(json_object_array_get_idx(photos_, static_cast<size_t>(index)), member);
  if (subMember != nullptr) {
    if (!json_object_is_type(value, json_type_object)) return "";
    value = json_object_object_get(value, subMember);
  }
  if (value == nullptr || json_object_is_type(value, json_type_null) ||
      json_object_is_type(value, json_type_object) || json_object_is_type(value, json_type_array))
    return "";
  return json_object_get_string(value);
}

Text PhotoListing::address(int index, const char* member, const char* subMember) const {
  const Text text = subMember == nullptr ? memberText(index, member) : memberText(index, member, subMember);
  const Text address = addressFromJsonText(text);
  return address == "null" ? Text() : address;
}

Text addressFromJsonText(const Text& jsonText) {
  return ReplaceText(ReplaceText(jsonText, "\\", ""), "\"", "");
}

Text photoNameFromJsonText(const Text& jsonText) {
  return cleanFileName(TrimSpaces(ReplaceText(jsonText, "\"", "")));
}

}  // namespace fotolun
