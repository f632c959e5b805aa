#pragma once
// The shooting date written inside a photo, for photo libraries that read EXIF rather than file
// times (a copy loses those). Only asked for by the user: the file then differs from what the
// service served.
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace fotolun {

struct DatesToEmbed {
  std::time_t when = 0;     // the shooting time, else the upload time
  std::string description;  // UTF-8; "" writes none
};

struct EmbedOutcome {
  enum Kind { written, alreadyDated, notWritable, failed } kind = notWritable;
  std::string bytes;  // the photo with its dates, when written
  std::string why;    // when failed: what the library said
};

// The photo's bytes with DateTimeOriginal and CreateDate (as China time, OffsetTimeOriginal
// "+08:00") and the description as ImageDescription and XMP dc:description. A photo that already
// carries DateTimeOriginal is left alone, and so is any format the library cannot write.
EmbedOutcome embedDates(std::string_view photo, const DatesToEmbed& dates);

}  // namespace fotolun
