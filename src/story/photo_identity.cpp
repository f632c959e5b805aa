#include "story/photo_identity.h"

#include <algorithm>

namespace fotolun {
namespace {

// The value inside a member text: quotes and "\/" escapes gone; "" for null and missing.
std::string MemberValue(std::string_view text) {
  if (text == "null") return "";
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
  std::string value;
  value.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '/') ++i;
    value += text[i];
  }
  return value;
}

std::string AddressKey(std::string address) {
  if (const std::size_t scheme = address.find("://"); scheme != std::string::npos) {
    const std::size_t path = address.find('/', scheme + 3);
    address = path == std::string::npos ? "" : address.substr(path);
  }
  // The group size marker holds a "?" of its own, so it goes before the query is looked for.
  for (const std::string_view marker : {"/200?w5", "/800?w5"}) {
    if (const std::size_t at = address.find(marker); at != std::string::npos) address.resize(at + 1);
  }
  // Personal photo addresses carry their path after "psb?/": there only the "&..." hints are query.
  if (const std::size_t query = address.find('?'); query != std::string::npos) {
    const bool pathFollows = query + 1 < address.size() && address[query + 1] == '/';
    address.resize(pathFollows ? std::min(address.size(), address.find('&', query)) : query);
  }
  if (const std::size_t fragment = address.find('#'); fragment != std::string::npos) address.resize(fragment);
  return address;
}

}  // namespace

PhotoIdentity photoIdentity(CopyKind kind, std::string_view llocText, std::string_view slocText,
                            std::string_view address) {
  std::string key = MemberValue(llocText);
  if (key.empty()) key = MemberValue(slocText);
  if (key.empty()) key = AddressKey(MemberValue(address));
  return {kind, std::move(key)};
}

}  // namespace fotolun
