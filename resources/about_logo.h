// The about box's logo, drawn at build time and written as a 24-bit bitmap
// file for the resource script: a light field that keeps the credit lines
// readable where they roll over it, and a column of raised tiles on the right
// in the colours the effect is usually shown with.
#pragma once

#include <cstdint>
#include <vector>

#include "image/dib.h"

namespace tessaro::resources {

constexpr int kLogoWidth = 600;
constexpr int kLogoHeight = 380;

CDib DrawAboutLogo();

// A bottom-up 24-bit Windows bitmap file of an opaque picture (alpha ignored),
// rows padded to 4 bytes.  Empty when the picture is.
std::vector<uint8_t> EncodeBitmapFile24(const CDib& picture);

}  // namespace tessaro::resources
