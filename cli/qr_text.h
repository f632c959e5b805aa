#pragma once
// The sign-in's QR code on a terminal: the service's picture is read back to what it encodes
// and drawn again as text, two modules a character cell high.
#include <optional>
#include <string>

namespace fotolun::cli {

// What the QR code in a PNG encodes, nullopt when the picture holds no readable code.
std::optional<std::string> QrContentOfPng(const std::string& png);

// Lines of UTF-8 half blocks showing text as a QR code with its quiet zone, dark modules as
// blank cells on light ones so a dark terminal shows it the right way round; "" when it cannot.
std::string QrAsText(const std::string& text);

}  // namespace fotolun::cli
