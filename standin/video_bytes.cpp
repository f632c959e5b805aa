#include "standin/video_bytes.h"

#include <random>

#include "standin/picture_bytes.h"

namespace fotolun::standin {

std::string MakeVideo(const VideoSource& source, std::uint64_t seed) {
  if (source.playlist) return "#EXTM3U\n#EXT-X-VERSION:3\n#EXTINF:10,\nseg0.ts\n#EXT-X-ENDLIST\n";
  static constexpr char kFileType[] =
      "\0\0\0\x18"
      "ftypisom\0\0\x02\0isomiso2";
  std::string bytes(kFileType, sizeof kFileType - 1);
  std::mt19937_64 engine(Fnv1a(source.key, seed));
  // Sizes differ between files, so a download cut short or swapped for another shows.
  const std::uint32_t payload = 2048 + static_cast<std::uint32_t>(engine() % 2048);
  PutBig32(bytes, payload + 8);
  bytes += "mdat";
  for (std::uint32_t i = 0; i < payload; ++i) bytes += static_cast<char>(engine() & 0xFF);
  return bytes;
}

std::string VideoContentType(const VideoSource& source) {
  return source.playlist ? "application/vnd.apple.mpegurl" : "video/mp4";
}

}  // namespace fotolun::standin
