#pragma once
// The two covers the program carries for albums whose real cover the service does not give out.
#include "text/gbk_text.h"

namespace fotolun {

// Shown for an album that asks a question before it opens (a JPEG, 100 × 100).
ByteBuffer needPassCover();
// Shown for an album without photos (a GIF, 100 × 100).
ByteBuffer noPhotoCover();

}  // namespace fotolun
