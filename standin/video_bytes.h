#pragma once
// The files behind video entries: an mp4 whose leading box is what a player (and the program's
// check of leading bytes) recognises, or an HLS playlist.
#include <cstdint>
#include <string>

#include "standin/sample_data.h"

namespace fotolun::standin {

// An ftyp box and an mdat box of a few KB whose bytes follow from key and seed; for a playlist,
// a one-segment playlist.
std::string MakeVideo(const VideoSource& source, std::uint64_t seed);
std::string VideoContentType(const VideoSource& source);

}  // namespace fotolun::standin
