// The slices' texture: the source picture with the colour overlay, lit from
// the light direction with the highlight and shadow colours, optionally
// smoothed.
#pragma once

#include <cstdint>

namespace tessaro {

class CDib;

// The pixel with the shadow colour (negative intensity) or the highlight
// colour (positive) composited over it at |intensity| / 255; the pixel's own
// alpha is kept.  Colours are 0x00BBGGRR; intensity lies in -255..255.
uint32_t TintPixel(uint32_t pixel, uint32_t shadow, uint32_t highlight, double intensity);

// The overlay colour (0x00BBGGRR) mixed into the pixel with weight
// opacity / 100; the pixel's alpha is kept.
uint32_t OverlayPixel(uint32_t pixel, uint32_t colour, int32_t opacity);

// Mixes the overlay colour (0x00BBGGRR) into every pixel with weight
// opacity / 100, keeping each pixel's alpha.
void ApplyOverlay(CDib& image, uint32_t colour, int32_t opacity);

}  // namespace tessaro
