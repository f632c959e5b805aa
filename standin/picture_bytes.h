#pragma once
// Real image files for the photo hosts: small, quick to make, and different for every key.
#include <cstdint>
#include <string>

namespace fotolun::standin {

// A baseline JPEG of width x height whose pattern follows from key and seed; key is also written
// into a comment segment, so two keys never give the same bytes even where their patterns agree.
std::string MakeJpeg(const std::string& key, std::uint64_t seed, int width, int height);

// An uncompressed (stored-deflate) RGB PNG in one flat colour taken from key.
std::string MakePng(const std::string& key, int width, int height);

// The pieces the picture and video files are made of: FNV-1a over text from seed, and a 32-bit
// number appended most significant byte first.
std::uint64_t Fnv1a(const std::string& text, std::uint64_t seed);
void PutBig32(std::string& out, std::uint32_t value);

}  // namespace fotolun::standin
