#include "story/embedded_dates.h"

#include <exiv2/exiv2.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/pngimage.hpp>
#include <exiv2/webpimage.hpp>
#include <mutex>

#include "story/photo_time.h"

namespace fotolun {
namespace {

// The XMP toolkit must be set up once before threads use it, and the library's warnings about
// odd files belong to no terminal of ours.
void prepareLibrary() {
  static std::once_flag once;
  std::call_once(once, [] {
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    Exiv2::XmpParser::initialize();
  });
}

std::string exifTime(std::time_t when) { return chinaTimeText(when, "%Y:%m:%d %H:%M:%S"); }

Exiv2::Image::AutoPtr openImage(std::string_view photo) {
  return Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(photo.data()),
                                   static_cast<long>(photo.size()));
}

// HEIC and the rest are read-only to this library (or have no place for EXIF at all).
// The library throws for bytes it cannot place at all.
bool writable(std::string_view photo) {
  try {
    const int type = Exiv2::ImageFactory::getType(reinterpret_cast<const Exiv2::byte*>(photo.data()),
                                                  static_cast<long>(photo.size()));
    return type == Exiv2::ImageType::jpeg || type == Exiv2::ImageType::png || type == Exiv2::ImageType::webp;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

EmbedOutcome embedDates(std::string_view photo, const DatesToEmbed& dates) {
  prepareLibrary();
  // The XMP toolkit behind the library is not safe to use from two threads at once, and two runs
  // (a window's and a test's) may save photos side by side.
  static std::mutex oneAtATime;
  const std::lock_guard lock(oneAtATime);
  EmbedOutcome outcome;
  try {
    if (!writable(photo)) return outcome;
    Exiv2::Image::AutoPtr image = openImage(photo);
    if (image.get() == nullptr) return outcome;
    image->readMetadata();
    Exiv2::ExifData& exif = image->exifData();
    Exiv2::XmpData& xmp = image->xmpData();
    // A date in XMP alone is the photo's own date too.
    if (exif.findKey(Exiv2::ExifKey("Exif.Photo.DateTimeOriginal")) != exif.end() ||
        xmp.findKey(Exiv2::XmpKey("Xmp.exif.DateTimeOriginal")) != xmp.end()) {
      outcome.kind = EmbedOutcome::alreadyDated;
      return outcome;
    }
    const std::string when = exifTime(dates.when);
    exif["Exif.Photo.DateTimeOriginal"] = when;
    exif["Exif.Photo.DateTimeDigitized"] = when;
    exif["Exif.Photo.OffsetTimeOriginal"] = "+08:00";
    exif["Exif.Photo.OffsetTimeDigitized"] = "+08:00";
    if (!dates.description.empty()) {
      exif["Exif.Image.ImageDescription"] = dates.description;
      xmp["Xmp.dc.description"] = "lang=x-default " + dates.description;
    }
    image->writeMetadata();
    Exiv2::BasicIo& io = image->io();
    io.open();
    const Exiv2::DataBuf written = io.read(static_cast<long>(io.size()));
    io.close();
    outcome.bytes.assign(reinterpret_cast<const char*>(written.pData_),
                         static_cast<std::size_t>(written.size_));
    outcome.kind = EmbedOutcome::written;
  } catch (const std::exception& error) {
    outcome.kind = EmbedOutcome::failed;
    outcome.why = error.what();
  } catch (...) {
    outcome.kind = EmbedOutcome::failed;
    outcome.why = "exiv2";
  }
  return outcome;
}

}  // namespace fotolun
