#pragma once
// What the service said about one photo and about one album, kept for people rather than for the
// download: titles, descriptions, times, sizes, cameras. Texts are UTF-8 as the service sent them,
// never passed through the program's GBK, so no character is lost on the way to the record.
#include <ctime>
#include <optional>
#include <string>

#include "story/photo_listing.h"

struct json_object;

namespace fotolun {

struct PhotoStory {
  std::string title;
  std::string description;
  std::optional<std::time_t> shot;      // rawshoottime, else the exif member's originalTime
  std::optional<std::time_t> uploaded;  // uploadtime
  int width = 0;                        // pixels as listed; 0 unknown
  int height = 0;
  std::string camera;  // exif make and model, else cameratype
  bool video = false;  // the service lists it as a video, whatever copy of it was saved
};

// Entry index (0-based) of a listing, from whichever of the members both endpoint families use
// it holds.
PhotoStory photoStoryOf(const PhotoListing& listing, int index);

struct AlbumStory {
  std::string description;
  std::optional<std::time_t> created;
  std::optional<std::time_t> modified;
};

// An album row of any album list (desc, createtime, modifytime).
AlbumStory albumStoryOf(json_object* albumRow);

// The time of a member text as the listings write them (China time or unix seconds, see
// photoTime); the exif form "YYYY:MM:DD HH:MM:SS" is read as China time too.
std::optional<std::time_t> storyTime(const std::string& text);

}  // namespace fotolun
