#pragma once
#include <string_view>

#include "text/gbk_text.h"

namespace fotolun {

// One album to download, as read from a checked row of the album list.
struct AlbumJob {
  Text photoCountText;  // decimal text as listed; may be "0" or not a number
  Text albumId;
  Text albumName;  // never blank: a blank name is replaced when the job is made
  // Whose album it is, fixed when the run starts, so that listing another number meanwhile
  // cannot send the rest of the run to the wrong owner: TargetNumber for a personal album, the
  // typed number (编辑框_号码) for a group album and the number folder.
  Text personalOwner;
  Text typedNumber;
};

// The job list carries each job's three texts as one text; the name comes last, so a name holding the
// separator loses everything from the separator on.
inline constexpr std::string_view kAlbumJobSeparator = "--@@--";
Text joinAlbumJob(const AlbumJob& job);
AlbumJob splitAlbumJob(const Text& joined);

// The leading decimal digits of a photo count as a number; 0 without any, saturating at the
// largest int rather than wrapping into a negative page count.
int photoCountOf(const Text& photoCountText);

// The album name of a row: blanks trimmed; a blank name becomes "未知名称_" and a number 1..100
// that the album's id decides.
Text albumNameOrUnknown(const Text& nameCell, const Text& albumId);

}  // namespace fotolun
