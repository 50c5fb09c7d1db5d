#include "scene/side_texture.h"

#include "image/dib.h"
#include "image/numeric.h"
#include "image/pixel.h"

namespace tessaro {

uint32_t TintPixel(uint32_t pixel, uint32_t shadow, uint32_t highlight, double intensity) {
  const uint32_t colour = intensity < 0 ? shadow : highlight;
  const double k = intensity < 0 ? -intensity : intensity;
  const uint32_t n = uint32_t(TruncateToInt32(k)) & 0xFFu;
  const uint32_t tinted = BlendPixelOver(pixel, (n << 24) | SwapRedBlue(colour));
  return (pixel & 0xFF000000u) | PixelColour(tinted);
}

uint32_t OverlayPixel(uint32_t pixel, uint32_t colour, int32_t opacity) {
  const uint32_t q =
      opacity < 100 ? MixColor(colour, SwapRedBlue(PixelColour(pixel)), opacity / 100.0) : colour;
  return (pixel & 0xFF000000u) | SwapRedBlue(q);
}

void ApplyOverlay(CDib& image, uint32_t colour, int32_t opacity) {
  const int32_t w = image.Width(), h = image.Height();
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) image.SetPixel(x, y, OverlayPixel(image.PixelAt(x, y), colour, opacity));
}

}  // namespace tessaro
