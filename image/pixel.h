// Pixel words and the colour arithmetic everything else builds on.
//
// A pixel is 0xAARRGGBB (blue, green, red, alpha in memory order) with straight
// alpha: the colour channels are never premultiplied.  A colour value as the
// user picks, stores and scripts it is 0x00BBGGRR.  All integer divisions
// truncate; callers depend on the exact results, not just on the look.
#pragma once

#include <cstdint>

namespace tessaro {

constexpr uint32_t PixelAlpha(uint32_t p) { return p >> 24; }
constexpr uint32_t PixelRed(uint32_t p) { return (p >> 16) & 0xFFu; }
constexpr uint32_t PixelGreen(uint32_t p) { return (p >> 8) & 0xFFu; }
constexpr uint32_t PixelBlue(uint32_t p) { return p & 0xFFu; }
constexpr uint32_t PixelColour(uint32_t p) { return p & 0x00FFFFFFu; }

// Each argument is taken modulo 256.
constexpr uint32_t MakePixel(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return ((a & 0xFFu) << 24) | ((r & 0xFFu) << 16) | ((g & 0xFFu) << 8) | (b & 0xFFu);
}

// src composited over dst, both with straight alpha.  An opaque src replaces
// dst, a fully transparent src leaves it untouched.
uint32_t BlendPixelOver(uint32_t dst, uint32_t src);

// Per channel b * (1 - t) + a * t, truncated, low 8 bits kept; t is the weight
// of a and is meant to lie in 0..1.  The top byte of the result is 0.
uint32_t MixColor(uint32_t a, uint32_t b, double t);

// Exchanges bits 0-7 and 16-23 and clears the top byte: converts a colour value
// to pixel channel order and back.
uint32_t SwapRedBlue(uint32_t c);

}  // namespace tessaro
