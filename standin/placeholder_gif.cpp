#include "standin/placeholder_gif.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

namespace fotolun::standin {
namespace {

void PutLittle16(std::string& out, int value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

// GIF's variable-width LZW, codes packed from the least significant bit, as decoders read it.
std::string LzwCompress(const std::vector<unsigned char>& pixels, int minCodeSize) {
  const int clearCode = 1 << minCodeSize;
  std::string out;
  unsigned bits = 0;
  int bitCount = 0;
  const auto put = [&](int code, int width) {
    bits |= static_cast<unsigned>(code) << bitCount;
    bitCount += width;
    while (bitCount >= 8) {
      out += static_cast<char>(bits & 0xFF);
      bits >>= 8;
      bitCount -= 8;
    }
  };
  std::map<std::pair<int, int>, int> table;
  int width = minCodeSize + 1;
  int lastCode = clearCode + 1;
  put(clearCode, width);
  int current = pixels.front();
  for (std::size_t i = 1; i < pixels.size(); ++i) {
    const int next = pixels[i];
    if (const auto found = table.find({current, next}); found != table.end()) {
      current = found->second;
      continue;
    }
    put(current, width);
    table[{current, next}] = ++lastCode;
    if (lastCode >= (1 << width)) ++width;
    if (lastCode == 4095) {
      put(clearCode, width);
      table.clear();
      width = minCodeSize + 1;
      lastCode = clearCode + 1;
    }
    current = next;
  }
  put(current, width);
  put(clearCode + 1, width);
  if (bitCount > 0) out += static_cast<char>(bits & 0xFF);
  return out;
}

std::string MakePlaceholder() {
  constexpr int side = kPlaceholderSide;
  // A light grey field with a darker frame and a picture sign in the middle.
  std::vector<unsigned char> pixels(side * side, 0);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const bool frame = x < 2 || y < 2 || x >= side - 2 || y >= side - 2;
      const bool sign = x >= 30 && x < 66 && y >= 34 && y < 62 && (x < 32 || x >= 64 || y < 36 || y >= 60);
      const bool hill = y >= 48 && y < 60 && x >= 34 && x < 62 && (y - 48) >= std::abs(x - 44) - 6;
      pixels[static_cast<std::size_t>(y * side + x)] = frame ? 1 : sign ? 2 : hill ? 3 : 0;
    }
  }
  std::string gif = "GIF89a";
  PutLittle16(gif, side);
  PutLittle16(gif, side);
  gif += static_cast<char>(0x81);  // a global table of 4 colours
  gif += '\0';
  gif += '\0';
  gif += std::string("\xEE\xEE\xEE\xCC\xCC\xCC\xAA\xAA\xAA\xBB\xBB\xBB", 12);
  const std::size_t imageAt = gif.size();
  gif += ',';
  PutLittle16(gif, 0);
  PutLittle16(gif, 0);
  PutLittle16(gif, side);
  PutLittle16(gif, side);
  gif += '\0';
  constexpr int minCodeSize = 2;
  gif += static_cast<char>(minCodeSize);
  const std::string data = LzwCompress(pixels, minCodeSize);
  for (std::size_t at = 0; at < data.size(); at += 255) {
    const std::string block = data.substr(at, 255);
    gif += static_cast<char>(block.size());
    gif += block;
  }
  gif += '\0';
  gif += ';';
  // A comment before the image brings it to the size the service's placeholder has.
  constexpr std::size_t kCommentFrame = 4;  // introducer, label, length, terminator
  if (gif.size() + kCommentFrame < kPlaceholderBytes) {
    std::size_t room = kPlaceholderBytes - gif.size() - kCommentFrame;
    std::string comment = "\x21\xFE";
    while (room > 0) {
      const std::size_t piece = std::min<std::size_t>(room, 255);
      comment += static_cast<char>(piece);
      comment += std::string(piece, ' ');
      room -= piece;
      if (room > 0) --room;  // the next piece's length byte
    }
    comment += '\0';
    gif.insert(imageAt, comment);
  }
  return gif;
}

}  // namespace

const std::string& PlaceholderGif() {
  static const std::string gif = MakePlaceholder();
  return gif;
}

}  // namespace fotolun::standin
