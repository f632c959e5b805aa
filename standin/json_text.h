#pragma once
// JSON as the photo service writes it: strings escape "/" as "\/" (which the program relies on
// removing), non-ASCII characters stay as they are, and members keep the order they are given in.
#include <string>
#include <string_view>
#include <vector>

namespace fotolun::standin {

std::string JsonString(std::string_view text);
std::string JsonMember(std::string_view name, std::string_view jsonValue);
std::string JsonObject(const std::vector<std::string>& members);
// One element per line, as the service lays out its long arrays.
std::string JsonArray(const std::vector<std::string>& elements);

}  // namespace fotolun::standin
