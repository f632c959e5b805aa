#include "cli/qr_text.h"

#include <png.h>
#include <qrencode.h>
#include <zbar.h>

#include <memory>
#include <vector>

namespace fotolun::cli {

std::optional<std::string> QrContentOfPng(const std::string& png) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return std::nullopt;
  image.format = PNG_FORMAT_GRAY;
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  std::unique_ptr<zbar::zbar_image_scanner_t, void (*)(zbar::zbar_image_scanner_t*)> scanner(
      zbar::zbar_image_scanner_create(), zbar::zbar_image_scanner_destroy);
  zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
  zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
  std::unique_ptr<zbar::zbar_image_t, void (*)(zbar::zbar_image_t*)> frame(zbar::zbar_image_create(),
                                                                           zbar::zbar_image_destroy);
  zbar::zbar_image_set_format(frame.get(), zbar_fourcc('Y', '8', '0', '0'));
  zbar::zbar_image_set_size(frame.get(), image.width, image.height);
  zbar::zbar_image_set_data(frame.get(), pixels.data(), pixels.size(), nullptr);
  if (zbar::zbar_scan_image(scanner.get(), frame.get()) <= 0) return std::nullopt;
  for (const zbar::zbar_symbol_t* symbol = zbar::zbar_image_first_symbol(frame.get()); symbol != nullptr;
       symbol = zbar::zbar_symbol_next(symbol)) {
    if (zbar::zbar_symbol_get_type(symbol) == zbar::ZBAR_QRCODE)
      return std::string(zbar::zbar_symbol_get_data(symbol), zbar::zbar_symbol_get_data_length(symbol));
  }
  return std::nullopt;
}

std::string QrAsText(const std::string& text) {
  std::unique_ptr<QRcode, void (*)(QRcode*)> code(
      QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_L, QR_MODE_8, 1), QRcode_free);
  if (!code) return "";
  constexpr int kQuiet = 2;
  const int width = code->width;
  const auto dark = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < width && y < width && (code->data[y * width + x] & 1) != 0;
  };
  std::string out;
  for (int y = -kQuiet; y < width + kQuiet; y += 2) {
    for (int x = -kQuiet; x < width + kQuiet; ++x) {
      const bool top = !dark(x, y), bottom = !dark(x, y + 1);  // light cells are drawn
      out += top && bottom ? "\u2588" : top ? "\u2580" : bottom ? "\u2584" : " ";
    }
    out += "\n";
  }
  return out;
}

}  // namespace fotolun::cli
