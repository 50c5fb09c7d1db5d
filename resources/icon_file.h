// Icon (.ico) and cursor (.cur) files as the resource compiler takes them: a
// directory of images, each a bottom-up bitmap of twice the picture's height
// whose header is followed by the colour rows and then the one-bit mask rows
// (a set bit lets the screen through).  Written without the platform headers,
// so the build machine's generator and the native tests share this code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/dib.h"

namespace tessaro::resources {

// The two depths an icon image is written in.  The palette form is for
// screens and hosts that cannot blend: its transparency is the mask alone.
constexpr int kPaletteBitCount = 8;
constexpr int kAlphaBitCount = 32;
constexpr size_t kPaletteSize = 256;

// A palette form hides the pixels that are less than half opaque, so an edge
// keeps the weight it has when blended.  A 32-bit form is drawn by its alpha;
// its mask only matters where blending is unavailable (monochrome copies,
// screens of few colours), and there every pixel with any alpha shows.
constexpr uint32_t kPaletteMaskBelowAlpha = 128;
constexpr uint32_t kAlphaMaskBelowAlpha = 1;

struct IconForm {
  const CDib* picture;  // straight alpha, at most 256 x 256
  int bitCount;         // kPaletteBitCount or kAlphaBitCount
};

// The whole .ico file with one image per form, in the order given.  Empty when
// there is no form or one is unusable: a missing, empty or oversized picture,
// or another depth.
std::vector<uint8_t> EncodeIconFile(const std::vector<IconForm>& forms);

// The whole .cur file of one 32-bit picture with its hot spot.  Empty when the
// picture is unusable or the hot spot lies outside it.
std::vector<uint8_t> EncodeCursorFile(const CDib& picture, uint16_t hotX, uint16_t hotY);

struct CursorForm {
  const CDib* picture;  // 32-bit, straight alpha
  uint16_t hotX, hotY;
};
// One image per form, in the order given; empty when any form is unusable.
std::vector<uint8_t> EncodeCursorFile(const std::vector<CursorForm>& forms);

// At most maxColours colours (0x00RRGGBB, sorted) that stand for the pixels a
// palette form shows: exactly their colours when there are few enough,
// otherwise the weighted means of a median cut.  Deterministic.
std::vector<uint32_t> ReducePalette(const CDib& picture, size_t maxColours);

// Index of the palette colour nearest to colour (by squared RGB distance; the
// first of equals).  The palette must not be empty.
size_t NearestPaletteIndex(const std::vector<uint32_t>& palette, uint32_t colour);

}  // namespace tessaro::resources
