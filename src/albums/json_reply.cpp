#include "albums/json_reply.h"

namespace fotolun {

JsonDocument ParseJson(const Text& text) { return JsonDocument(json_tokener_parse(text.c_str())); }

json_object* JsonMember(json_object* object, const char* name) {
  json_object* member = nullptr;
  if (object == nullptr || !json_object_is_type(object, json_type_object)) return nullptr;
  return json_object_object_get_ex(object, name, &member) ? member : nullptr;
}

// json-c asserts on array calls made on anything else, so the kind is checked first.
int JsonArrayLength(json_object* array) {
  if (array == nullptr || !json_object_is_type(array, json_type_array)) return 0;
  return static_cast<int>(json_object_array_length(array));
}

json_object* JsonElement(json_object* array, int index) {
  if (index < 0 || index >= JsonArrayLength(array)) return nullptr;
  return json_object_array_get_idx(array, static_cast<std::size_t>(index));
}

Text JsonText(json_object* value) { return json_object_to_json_string(value); }

Text RemoveQuotes(const Text& text) { return ReplaceText(text, "\"", ""); }

Text JsonStringText(json_object* value) {
  if (value == nullptr || !json_object_is_type(value, json_type_string)) return JsonText(value);
  // A decoded \u0000 would end the text anyway, as every text ends at its first NUL.
  return json_object_get_string(value);
}

}  // namespace fotolun
