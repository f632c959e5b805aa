#pragma once
// The record of an album for people: album.json in the album's folder, UTF-8 JSON, written whole
// at the end of each album and merged with what earlier runs wrote, so it tells of every photo any
// run saved there. Its members (documented for users in the README):
//
//   "format": 1
//   "album":  {"id", "name", "description", "created", "modified"}
//   "photos": [{"file" | "failed", "title", "description", "shot", "uploaded", "width", "height",
//               "camera", "kind": "photo" | "video", "id", "copy": "hd" | "original" | "group"}]
//
// Times are ISO 8601 in China time ("2019-01-03T08:00:00+08:00"), as the service keeps them;
// a member the service did not give is left out. "file" is the name the photo was saved as in the
// folder; "failed" says why it was not saved. Photos are in the album's order as last listed; a
// photo an earlier run saved that is no longer listed keeps its entry after them.
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "story/photo_story.h"

namespace fotolun {

inline constexpr const char* kAlbumRecordName = "album.json";

struct RecordedPhoto {
  std::string id;    // the service's key for the photo (or its address when it has none)
  std::string copy;  // hd, original or group: two copies of one photo are two entries
  std::string file;  // the saved file's name in the folder; "" when not saved
  std::string failed;
  PhotoStory story;
};

struct AlbumRecord {
  std::string id;
  std::string name;
  AlbumStory story;
  std::vector<RecordedPhoto> photos;
};

// The record in folder; nullopt without one, or when it is not a record (damaged, another file).
std::optional<AlbumRecord> readAlbumRecord(const std::filesystem::path& folder);
// now, with what earlier told of the same photos where now has nothing better: a photo saved by
// an earlier run keeps its file when this run could not fetch it again, and one this run did not
// list at all keeps its entry.
AlbumRecord mergeAlbumRecords(const AlbumRecord& earlier, AlbumRecord now);
// The record as the file holds it, and the file replaced whole; false when it could not be.
std::string albumRecordJson(const AlbumRecord& record);
bool writeAlbumRecord(const std::filesystem::path& folder, const AlbumRecord& record);

// "2019-01-03T08:00:00+08:00"; the reverse gives nullopt for anything else.
std::string chinaIsoTime(std::time_t time);
std::optional<std::time_t> fromChinaIsoTime(const std::string& text);

}  // namespace fotolun
