#pragma once
// Folder and file names as the disk takes them. Names are GBK inside the program; on disk they
// are UTF-8 on Linux, where a path component holds at most 255 bytes, and UTF-16 on Windows, where
// it holds at most 255 UTF-16 units. Every function takes the rules to follow (the running
// system's unless told), so both sets can be tried anywhere.
#include <cstddef>
#include <string_view>

#include "names/name_rules.h"
#include "text/gbk_text.h"

namespace fotolun {

// In the rules' units: UTF-8 bytes (posix) or UTF-16 units (windows).
inline constexpr std::size_t kMaxNameLength = 255;

// Length of text on disk: UTF-8 bytes (posix) or UTF-16 units (windows).
std::size_t diskNameLength(const Text& text, NameRules rules = kSystemNameRules);

// The longest start of text, cut between whole GBK characters, whose disk name is at most
// maxLength long.
Text shortenForDisk(const Text& text, std::size_t maxLength, NameRules rules = kSystemNameRules);

// head + tail within one component: head is shortened, tail (a count, an index and random part,
// an extension) is kept whole.
Text fitNameComponent(const Text& head, const Text& tail, std::size_t maxLength = kMaxNameLength,
                      NameRules rules = kSystemNameRules);

// A folder name taken from the service or the user that must stay one level below its parent:
// "/" and "\" are removed, so a title cannot make nested folders or climb out; a name of dots
// alone ("." or "..") gets a "_" in front. ":" and "?" are legal on Linux and stay there; under
// the Windows rules what Windows refuses goes too (names/windows_names.h).
Text folderComponent(const Text& name, NameRules rules = kSystemNameRules);

// The album's folder: its name with the photo count after it, shortened to fit one component.
Text albumFolderName(const Text& albumName, const Text& countText, NameRules rules = kSystemNameRules);

// The photo's file name: name + "_" + index + "_" + random part [+ "_" + counter] + extension,
// the name shortened so the whole fits one component.
Text photoFileName(const Text& name, int index, int randomPart, int counter = 0,
                   std::string_view extension = ".jpg", NameRules rules = kSystemNameRules);

}  // namespace fotolun
