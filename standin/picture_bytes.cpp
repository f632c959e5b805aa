#include "standin/picture_bytes.h"

#include <jpeglib.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace fotolun::standin {
namespace {

// libjpeg reports fatal errors through exit() by default; a request thread must not end the process.
[[noreturn]] void ThrowJpegError(j_common_ptr info) {
  char message[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, message);
  throw std::runtime_error(message);
}

std::uint32_t Crc32(const std::string& bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char b : bytes) crc = table[(crc ^ static_cast<unsigned char>(b)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

void PutChunk(std::string& png, const char* type, const std::string& data) {
  PutBig32(png, static_cast<std::uint32_t>(data.size()));
  const std::string typed = std::string(type, 4) + data;
  png += typed;
  PutBig32(png, Crc32(typed));
}

}  // namespace

std::uint64_t Fnv1a(const std::string& text, std::uint64_t seed) {
  std::uint64_t hash = 1469598103934665603ull ^ seed;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

void PutBig32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

std::string MakeJpeg(const std::string& key, std::uint64_t seed, int width, int height) {
  const std::uint64_t hash = Fnv1a(key, seed);
  const int red = static_cast<int>(hash & 0xFF);
  const int green = static_cast<int>((hash >> 8) & 0xFF);
  const int blue = static_cast<int>((hash >> 16) & 0xFF);
  const int stripe = 4 + static_cast<int>((hash >> 24) % 13);

  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  errors.error_exit = ThrowJpegError;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  std::string jpeg;
  try {
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 80, TRUE);
    jpeg_start_compress(&info, TRUE);
    jpeg_write_marker(&info, JPEG_COM, reinterpret_cast<const JOCTET*>(key.data()),
                      static_cast<unsigned>(key.size()));
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
    while (info.next_scanline < info.image_height) {
      const int y = static_cast<int>(info.next_scanline);
      for (int x = 0; x < width; ++x) {
        const bool band = ((x + y) / stripe) % 2 == 0;
        row[x * 3 + 0] = static_cast<JSAMPLE>(band ? red : (red + x * 255 / width) / 2);
        row[x * 3 + 1] = static_cast<JSAMPLE>(band ? green : (green + y * 255 / height) / 2);
        row[x * 3 + 2] = static_cast<JSAMPLE>(band ? blue : 255 - blue);
      }
      JSAMPROW rows[1] = {row.data()};
      jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg.assign(reinterpret_cast<const char*>(buffer), size);
  } catch (...) {
    jpeg_destroy_compress(&info);
    std::free(buffer);
    throw;
  }
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return jpeg;
}

std::string MakePng(const std::string& key, int width, int height) {
  const std::uint64_t hash = Fnv1a(key, 0);
  std::string pixels;
  for (int y = 0; y < height; ++y) {
    pixels += '\0';  // filter type: none
    for (int x = 0; x < width; ++x) {
      pixels += static_cast<char>(hash & 0xFF);
      pixels += static_cast<char>((hash >> 8) & 0xFF);
      pixels += static_cast<char>((hash >> 16) & 0xFF);
    }
  }
  std::string zlib = "\x78\x01";
  std::uint32_t a = 1, b = 0;
  for (const char c : pixels) {
    a = (a + static_cast<unsigned char>(c)) % 65521;
    b = (b + a) % 65521;
  }
  for (std::size_t at = 0; at < pixels.size() || at == 0; at += 65535) {
    const std::size_t length = std::min<std::size_t>(65535, pixels.size() - at);
    const bool last = at + length >= pixels.size();
    zlib += static_cast<char>(last ? 1 : 0);
    zlib += static_cast<char>(length & 0xFF);
    zlib += static_cast<char>(length >> 8);
    zlib += static_cast<char>(~length & 0xFF);
    zlib += static_cast<char>((~length >> 8) & 0xFF);
    zlib.append(pixels, at, length);
    if (last) break;
  }
  PutBig32(zlib, (b << 16) | a);

  std::string header;
  PutBig32(header, static_cast<std::uint32_t>(width));
  PutBig32(header, static_cast<std::uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", zlib);
  PutChunk(png, "IEND", "");
  return png;
}

}  // namespace fotolun::standin
