#include "names/path_names.h"

#include <string>
#include <vector>

#include "names/clean_file_name.h"
#include "names/windows_names.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

std::size_t gbkCharLength(const Text& text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  return (lead >= 0x81 && lead != 0xFF && at + 1 < text.size()) ? 2 : 1;
}

// UTF-16 units of well-formed UTF-8: one a character, two for one beyond U+FFFF.
std::size_t utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (const char byte : utf8) {
    const auto c = static_cast<unsigned char>(byte);
    if ((c & 0xC0) != 0x80) ++units;
    if (c >= 0xF0) ++units;
  }
  return units;
}

// A name as the Linux rules have it: one level, never "." or "..".
Text posixFolderComponent(const Text& name) {
  Text safe = ReplaceText(ReplaceText(dropControlCharacters(BufferToText(name)), "/", ""), "\\", "");
  if (!safe.empty() && safe.find_first_not_of('.') == Text::npos) safe.insert(0, "_");
  return safe;
}

// A part of a name (what comes before or after it is not known yet).
Text namePart(const Text& part, NameRules rules) {
  return rules == NameRules::windows ? withoutWindowsForbidden(part) : part;
}

// The whole name: under the Windows rules the last look, after which it may have grown by a "_".
Text wholeName(const Text& name, NameRules rules) {
  if (rules != NameRules::windows) return name;
  const Text whole = windowsNameComponent(name);
  if (diskNameLength(whole, rules) <= kMaxNameLength) return whole;
  return windowsNameComponent(shortenForDisk(whole, kMaxNameLength, rules));
}

}  // namespace

std::size_t diskNameLength(const Text& text, NameRules rules) {
  const std::string onDisk = GbkToUtf8(text);
  return rules == NameRules::windows ? utf16Length(onDisk) : onDisk.size();
}

Text shortenForDisk(const Text& text, std::size_t maxLength, NameRules rules) {
  // Character by character first; the whole is checked again because a malformed sequence may
  // convert differently on its own than inside the text.
  std::vector<std::size_t> ends;
  std::size_t length = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t characterLength = gbkCharLength(text, at);
    length += diskNameLength(text.substr(at, characterLength), rules);
    if (length > maxLength) break;
    at += characterLength;
    ends.push_back(at);
  }
  while (!ends.empty() && diskNameLength(text.substr(0, ends.back()), rules) > maxLength) ends.pop_back();
  return ends.empty() ? Text() : text.substr(0, ends.back());
}

Text fitNameComponent(const Text& head, const Text& tail, std::size_t maxLength, NameRules rules) {
  const std::size_t tailLength = diskNameLength(tail, rules);
  if (tailLength >= maxLength) return shortenForDisk(head + tail, maxLength, rules);
  return shortenForDisk(head, maxLength - tailLength, rules) + tail;
}

Text folderComponent(const Text& name, NameRules rules) {
  return wholeName(posixFolderComponent(name), rules);
}

Text albumFolderName(const Text& albumName, const Text& countText, NameRules rules) {
  const Text head = namePart(posixFolderComponent(albumName), rules);
  const Text tail = namePart(posixFolderComponent(countText), rules);
  return folderComponent(fitNameComponent(head, tail, kMaxNameLength, rules), rules);
}

Text photoFileName(const Text& name, int index, int randomPart, int counter, std::string_view extension,
                   NameRules rules) {
  Text tail = "_" + std::to_string(index) + "_" + std::to_string(randomPart);
  if (counter > 0) tail += "_" + std::to_string(counter);
  tail += extension;
  return wholeName(fitNameComponent(namePart(name, rules), namePart(tail, rules), kMaxNameLength, rules),
                   rules);
}

}  // namespace fotolun
