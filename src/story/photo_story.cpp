#include "story/photo_story.h"

#include <json-c/json.h>

#include <charconv>

#include "story/photo_time.h"

namespace fotolun {
namespace {

int pixels(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return 0;
  return value;
}

// Cameras often repeat their maker in the model ("Canon", "Canon EOS R5").
std::string joined(const std::string& make, const std::string& model) {
  if (make.empty() || model.starts_with(make)) return model;
  if (model.empty()) return make;
  return make + " " + model;
}

std::string valueText(json_object* value) {
  if (value == nullptr || json_object_is_type(value, json_type_null)) return "";
  if (json_object_is_type(value, json_type_object) || json_object_is_type(value, json_type_array)) return "";
  return json_object_get_string(value);
}

}  // namespace

std::optional<std::time_t> storyTime(const std::string& text) {
  // "2021:11:01 22:54:34": the camera's own form of a date.
  if (text.size() == 19 && text[4] == ':' && text[7] == ':') {
    std::string dashed = text;
    dashed[4] = '-';
    dashed[7] = '-';
    return photoTime(dashed, "");
  }
  return photoTime(text, "");
}

PhotoStory photoStoryOf(const PhotoListing& listing, int index) {
  const auto member = [&](const char* name, const char* sub = nullptr) {
    return listing.memberUtf8(index, name, sub);
  };
  PhotoStory story;
  story.title = member("name");
  story.description = member("desc");
  story.shot = storyTime(member("rawshoottime"));
  if (!story.shot) story.shot = storyTime(member("exif", "originalTime"));
  story.uploaded = storyTime(member("uploadtime"));
  story.width = pixels(member("width"));
  story.height = pixels(member("height"));
  story.camera = joined(member("exif", "make"), member("exif", "model"));
  if (story.camera.empty()) story.camera = member("cameratype");
  const std::string isVideo = member("is_video");
  story.video = isVideo == "true" || isVideo == "1" || member("phototype") == "video" ||
                !member("videodata", "actionurl").empty();
  return story;
}

AlbumStory albumStoryOf(json_object* albumRow) {
  json_object* value = nullptr;
  const auto member = [&](const char* name) {
    return json_object_object_get_ex(albumRow, name, &value) ? valueText(value) : std::string();
  };
  AlbumStory story;
  story.description = member("desc");
  story.created = storyTime(member("createtime"));
  story.modified = storyTime(member("modifytime"));
  return story;
}

}  // namespace fotolun
