#include "story/album_record.h"

#include <json-c/json.h>

#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "platform/atomic_file.h"
#include "platform/path.h"
#include "story/photo_time.h"

namespace fotolun {
namespace {

constexpr int kFormat = 1;

using JsonPtr = std::unique_ptr<json_object, decltype(&json_object_put)>;

std::string stringOf(json_object* object, const char* member) {
  json_object* value = nullptr;
  if (!json_object_object_get_ex(object, member, &value) || !json_object_is_type(value, json_type_string))
    return "";
  return json_object_get_string(value);
}

int intOf(json_object* object, const char* member) {
  json_object* value = nullptr;
  if (!json_object_object_get_ex(object, member, &value) || !json_object_is_type(value, json_type_int))
    return 0;
  return json_object_get_int(value);
}

void putString(json_object* object, const char* member, const std::string& value) {
  if (!value.empty())
    json_object_object_add(object, member,
                           json_object_new_string_len(value.data(), static_cast<int>(value.size())));
}

void putTime(json_object* object, const char* member, const std::optional<std::time_t>& time) {
  if (time) putString(object, member, chinaIsoTime(*time));
}

std::string mergeKey(const RecordedPhoto& photo) { return photo.copy + "\t" + photo.id; }

}  // namespace

std::string chinaIsoTime(std::time_t time) { return chinaTimeText(time, "%Y-%m-%dT%H:%M:%S+08:00"); }

std::optional<std::time_t> fromChinaIsoTime(const std::string& text) {
  if (text.size() != 25 || text[10] != 'T' || !text.ends_with("+08:00")) return std::nullopt;
  std::string plain = text.substr(0, 19);
  plain[10] = ' ';
  return storyTime(plain);
}

std::optional<AlbumRecord> readAlbumRecord(const std::filesystem::path& folder) {
  std::ifstream in(platform::systemPath(folder / kAlbumRecordName), std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream bytes;
  bytes << in.rdbuf();
  const JsonPtr root(json_tokener_parse(bytes.str().c_str()), &json_object_put);
  json_object* album = nullptr;
  json_object* photos = nullptr;
  if (!json_object_is_type(root.get(), json_type_object) || intOf(root.get(), "format") != kFormat ||
      !json_object_object_get_ex(root.get(), "album", &album) ||
      !json_object_is_type(album, json_type_object) ||
      !json_object_object_get_ex(root.get(), "photos", &photos) ||
      !json_object_is_type(photos, json_type_array))
    return std::nullopt;
  AlbumRecord record;
  record.id = stringOf(album, "id");
  record.name = stringOf(album, "name");
  record.story.description = stringOf(album, "description");
  record.story.created = fromChinaIsoTime(stringOf(album, "created"));
  record.story.modified = fromChinaIsoTime(stringOf(album, "modified"));
  for (std::size_t i = 0; i < json_object_array_length(photos); ++i) {
    json_object* entry = json_object_array_get_idx(photos, i);
    if (!json_object_is_type(entry, json_type_object)) continue;
    RecordedPhoto photo;
    photo.id = stringOf(entry, "id");
    photo.copy = stringOf(entry, "copy");
    photo.file = stringOf(entry, "file");
    photo.failed = stringOf(entry, "failed");
    photo.story.title = stringOf(entry, "title");
    photo.story.description = stringOf(entry, "description");
    photo.story.shot = fromChinaIsoTime(stringOf(entry, "shot"));
    photo.story.uploaded = fromChinaIsoTime(stringOf(entry, "uploaded"));
    photo.story.width = intOf(entry, "width");
    photo.story.height = intOf(entry, "height");
    photo.story.camera = stringOf(entry, "camera");
    photo.story.video = stringOf(entry, "kind") == "video";
    // A file name is a name in this folder, never a path out of it.
    if (photo.file.find('/') != std::string::npos || photo.file == "." || photo.file == "..")
      photo.file.clear();
    record.photos.push_back(std::move(photo));
  }
  return record;
}

AlbumRecord mergeAlbumRecords(const AlbumRecord& earlier, AlbumRecord now) {
  if (now.name.empty()) now.name = earlier.name;
  if (now.story.description.empty()) now.story.description = earlier.story.description;
  if (!now.story.created) now.story.created = earlier.story.created;
  if (!now.story.modified) now.story.modified = earlier.story.modified;

  std::map<std::string, const RecordedPhoto*> before;
  for (const RecordedPhoto& photo : earlier.photos)
    if (!photo.id.empty()) before.emplace(mergeKey(photo), &photo);
  std::set<std::string> listed;
  std::set<std::string> files;
  for (RecordedPhoto& photo : now.photos) {
    if (photo.id.empty()) continue;
    listed.insert(mergeKey(photo));
    const auto found = before.find(mergeKey(photo));
    if (found != before.end() && photo.file.empty() && !found->second->file.empty()) {
      photo.file = found->second->file;
      photo.failed.clear();
    }
  }
  for (const RecordedPhoto& photo : now.photos)
    if (!photo.file.empty()) files.insert(photo.file);
  for (const RecordedPhoto& photo : earlier.photos) {
    const bool known = photo.id.empty() ? files.count(photo.file) != 0 : listed.count(mergeKey(photo)) != 0;
    // An unlisted photo that was never saved tells nothing worth keeping.
    if (!known && !photo.file.empty()) now.photos.push_back(photo);
  }
  return now;
}

std::string albumRecordJson(const AlbumRecord& record) {
  const JsonPtr root(json_object_new_object(), &json_object_put);
  json_object_object_add(root.get(), "format", json_object_new_int(kFormat));
  json_object* album = json_object_new_object();
  putString(album, "id", record.id);
  putString(album, "name", record.name);
  putString(album, "description", record.story.description);
  putTime(album, "created", record.story.created);
  putTime(album, "modified", record.story.modified);
  json_object_object_add(root.get(), "album", album);
  json_object* photos = json_object_new_array();
  for (const RecordedPhoto& photo : record.photos) {
    json_object* entry = json_object_new_object();
    putString(entry, "file", photo.file);
    putString(entry, "failed", photo.failed);
    putString(entry, "title", photo.story.title);
    putString(entry, "description", photo.story.description);
    putTime(entry, "shot", photo.story.shot);
    putTime(entry, "uploaded", photo.story.uploaded);
    if (photo.story.width > 0 && photo.story.height > 0) {
      json_object_object_add(entry, "width", json_object_new_int(photo.story.width));
      json_object_object_add(entry, "height", json_object_new_int(photo.story.height));
    }
    putString(entry, "camera", photo.story.camera);
    putString(entry, "kind", photo.story.video ? "video" : "photo");
    putString(entry, "id", photo.id);
    putString(entry, "copy", photo.copy);
    json_object_array_add(photos, entry);
  }
  json_object_object_add(root.get(), "photos", photos);
  return std::string(json_object_to_json_string_ext(root.get(), JSON_C_TO_STRING_PRETTY |
                                                                    JSON_C_TO_STRING_SPACED |
                                                                    JSON_C_TO_STRING_NOSLASHESCAPE)) +
         "\n";
}

bool writeAlbumRecord(const std::filesystem::path& folder, const AlbumRecord& record) {
  return replaceFile(folder / kAlbumRecordName, albumRecordJson(record));
}

}  // namespace fotolun
