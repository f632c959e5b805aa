#pragma once
// Names for albums the service gives no usable name. They are derived from the album's id, so a
// backup folder keeps its name from one listing to the next instead of getting a new one each time.
#include "text/gbk_text.h"

namespace fotolun {

// "未知相册" and five upper-case letters: an album whose name cleans to nothing.
Text unknownAlbumName(const Text& albumId);

// "未知名称_" and a number from 1 to 100: a row whose name is blank.
Text unnamedRowName(const Text& albumId);

}  // namespace fotolun
