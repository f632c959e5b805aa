#pragma once
// Folder and file names as the disk takes them. Names are GBK inside the program; on disk they
// are UTF-8, where a path component holds at most 255 bytes.
#include <cstddef>
#include <string_view>

#include "text/gbk_text.h"

namespace fotolun {

inline constexpr std::size_t kMaxNameBytes = 255;

// Length of text in the UTF-8 bytes written to disk.
std::size_t diskNameLength(const Text& text);

// The longest start of text, cut between whole GBK characters, whose disk name has at most
// maxBytes bytes.
Text shortenForDisk(const Text& text, std::size_t maxBytes);

// head + tail within one component: head is shortened, tail (a count, an index and random part,
// an extension) is kept whole.
Text fitNameComponent(const Text& head, const Text& tail, std::size_t maxBytes = kMaxNameBytes);

// A folder name taken from the service or the user that must stay one level below its parent:
// "/" and "\" are removed, so a title cannot make nested folders or climb out; a name of dots
// alone ("." or "..") gets a "_" in front. ":" and "?" are legal on this file system and stay.
Text folderComponent(const Text& name);

// The photo's file name: name + "_" + index + "_" + random part [+ "_" + counter] + extension,
// the name shortened so the whole fits one component.
Text photoFileName(const Text& name, int index, int randomPart, int counter = 0,
                   std::string_view extension = ".jpg");

}  // namespace fotolun
