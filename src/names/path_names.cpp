#include "names/path_names.h"

#include <string>
#include <vector>

#include "names/clean_file_name.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

std::size_t gbkCharLength(const Text& text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  return (lead >= 0x81 && lead != 0xFF && at + 1 < text.size()) ? 2 : 1;
}

}  // namespace

std::size_t diskNameLength(const Text& text) { return GbkToUtf8(text).size(); }

Text shortenForDisk(const Text& text, std::size_t maxBytes) {
  // Character by character first; the whole is checked again because a malformed sequence may
  // convert differently on its own than inside the text.
  std::vector<std::size_t> ends;
  std::size_t diskBytes = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = gbkCharLength(text, at);
    diskBytes += GbkToUtf8(std::string_view(text).substr(at, length)).size();
    if (diskBytes > maxBytes) break;
    at += length;
    ends.push_back(at);
  }
  while (!ends.empty() && diskNameLength(text.substr(0, ends.back())) > maxBytes) ends.pop_back();
  return ends.empty() ? Text() : text.substr(0, ends.back());
}

Text fitNameComponent(const Text& head, const Text& tail, std::size_t maxBytes) {
  const std::size_t tailBytes = diskNameLength(tail);
  if (tailBytes >= maxBytes) return shortenForDisk(head + tail, maxBytes);
  return shortenForDisk(head, maxBytes - tailBytes) + tail;
}

Text folderComponent(const Text& name) {
  Text safe = ReplaceText(ReplaceText(dropControlCharacters(BufferToText(name)), "/", ""), "\\", "");
  if (!safe.empty() && safe.find_first_not_of('.') == Text::npos) safe.insert(0, "_");
  return safe;
}

Text photoFileName(const Text& name, int index, int randomPart, int counter, std::string_view extension) {
  Text tail = "_" + std::to_string(index) + "_" + std::to_string(randomPart);
  if (counter > 0) tail += "_" + std::to_string(counter);
  tail += extension;
  return fitNameComponent(name, tail);
}

}  // namespace fotolun
