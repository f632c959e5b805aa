#include "story/html_text.h"

namespace fotolun {
namespace {

std::string escaped(std::string_view utf8, bool attribute) {
  std::string out;
  out.reserve(utf8.size() + utf8.size() / 8);
  for (const char ch : utf8) {
    switch (ch) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      case '\n':
        out += attribute ? "&#10;" : "\n";
        break;
      case '\r':
        out += attribute ? "&#13;" : "";
        break;
      case '\0':
        break;  // no page shows it, and some parsers stop there
      default:
        out += ch;
    }
  }
  return out;
}

bool unreserved(unsigned char ch) {
  return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '-' ||
         ch == '.' || ch == '_' || ch == '~';
}

}  // namespace

std::string htmlText(std::string_view utf8) { return escaped(utf8, false); }

std::string htmlAttribute(std::string_view utf8) { return escaped(utf8, true); }

std::string linkToFile(std::string_view relativePath) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(relativePath.size() * 3);
  for (const char ch : relativePath) {
    const auto byte = static_cast<unsigned char>(ch);
    if (unreserved(byte) || ch == '/') {
      out += ch;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

}  // namespace fotolun
