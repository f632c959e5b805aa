#pragma once
// Service replies read the way the album lists read them: a member's value is its JSON text as
// json-c prints it (strings keep their quotes and escapes, "/" comes as "\/"), and whatever is
// missing or of another kind reads as null, an empty array or no element.
#include <json-c/json.h>

#include <memory>

#include "text/gbk_text.h"

namespace fotolun {

struct JsonRelease {
  void operator()(json_object* object) const { json_object_put(object); }
};
using JsonDocument = std::unique_ptr<json_object, JsonRelease>;

// Empty when the text is not JSON.
JsonDocument ParseJson(const Text& text);
// The member, or nullptr when object is not a JSON object or has no such member.
json_object* JsonMember(json_object* object, const char* name);
// 0 unless array is a JSON array.
int JsonArrayLength(json_object* array);
json_object* JsonElement(json_object* array, int index);
// "null" for nullptr.
Text JsonText(json_object* value);
Text RemoveQuotes(const Text& text);
// A JSON string's own text, its escapes decoded (\/, \", \\, \uXXXX); any other value as JsonText.
// UTF-8, as the reply came.
Text JsonStringText(json_object* value);

}  // namespace fotolun
