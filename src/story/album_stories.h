#pragma once
// What the album lists said of each album (description, times), kept from the list until the
// albums are downloaded: the download's own listings no longer say it.
#include <map>
#include <mutex>
#include <string>

#include "story/photo_story.h"

namespace fotolun {

class AlbumStories {
 public:
  void note(const std::string& albumId, AlbumStory story) {
    const std::lock_guard lock(mutex_);
    stories_[albumId] = std::move(story);
  }
  AlbumStory of(const std::string& albumId) const {
    const std::lock_guard lock(mutex_);
    const auto found = stories_.find(albumId);
    return found == stories_.end() ? AlbumStory{} : found->second;
  }

 private:
  mutable std::mutex mutex_;
  std::map<std::string, AlbumStory> stories_;
};

}  // namespace fotolun
