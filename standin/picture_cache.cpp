#include "standin/picture_cache.h"

#include "standin/picture_bytes.h"
#include "standin/placeholder_gif.h"

namespace fotolun::standin {

std::string PictureCache::bytes(const PictureSource& source) {
  if (source.placeholder) return PlaceholderGif();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = made_.find(source.key);
    if (found != made_.end()) return found->second;
  }
  // Encoding runs outside the lock so concurrent downloads of different photos do not queue up;
  // two threads making the same picture make the same bytes.
  std::string made = source.png ? MakePng(source.key, source.width, source.height)
                                : MakeJpeg(source.key, data_.seed(), source.width, source.height);
  // Viewers stop at the picture's end; what follows only makes the file as long as asked.
  if (made.size() < source.paddedTo) made.resize(source.paddedTo, '\0');
  std::lock_guard<std::mutex> lock(mutex_);
  return made_.emplace(source.key, std::move(made)).first->second;
}

}  // namespace fotolun::standin
