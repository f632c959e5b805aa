#include "standin/json_text.h"

#include <cstdio>

namespace fotolun::standin {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '/':
        out += "\\/";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string JsonMember(std::string_view name, std::string_view jsonValue) {
  std::string out = "\"";
  out.append(name);
  out += "\":";
  out.append(jsonValue);
  return out;
}

std::string JsonObject(const std::vector<std::string>& members) {
  std::string out = "{";
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (i > 0) out += ",";
    out += members[i];
  }
  return out + "}";
}

std::string JsonArray(const std::vector<std::string>& elements) {
  if (elements.empty()) return "[]";
  std::string out = "[\n";
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (i > 0) out += ",\n";
    out += elements[i];
  }
  return out + "\n]";
}

}  // namespace fotolun::standin
