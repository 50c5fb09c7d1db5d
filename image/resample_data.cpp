#include "image/resample_data.h"

#include "image/numeric.h"
#include "image/pixel.h"

namespace tessaro {

namespace {

uint32_t RoundToByte(double sum) {
  const int32_t v = TruncateToInt32(sum + 0.5);
  if (v >= 255) return 255;
  if (v <= 0) return 0;
  return uint32_t(v);
}

}  // namespace

uint32_t CDataPaintLib32::Convolve(const uint32_t* taps, const double* weights, int32_t count) {
  double transparent = 0.0;
  for (int32_t i = 0; i < count; ++i) {
    if (weights[i] != 0.0 && PixelAlpha(taps[i]) == 0) transparent += weights[i];
  }
  // Weight sums of 1 and more only arise from unnormalised tables; there the
  // colour is scaled by the transparent weight itself.
  const double colourScale = transparent < 1.0 ? 1.0 / (1.0 - transparent) : transparent;

  double a = 0.0, r = 0.0, g = 0.0, b = 0.0;
  for (int32_t i = 0; i < count; ++i) {
    const double w = weights[i];
    const uint32_t p = taps[i];
    if (w == 0.0 || PixelAlpha(p) == 0) continue;
    const double wc = w * colourScale;
    r += double(PixelRed(p)) * wc;
    g += double(PixelGreen(p)) * wc;
    b += double(PixelBlue(p)) * wc;
    a += double(PixelAlpha(p)) * w;
  }
  return MakePixel(RoundToByte(a), RoundToByte(r), RoundToByte(g), RoundToByte(b));
}

uint16_t CDataPaintLib16::Convolve(const uint16_t* taps, const double* weights, int32_t count) {
  double sum = 0.0;
  for (int32_t i = 0; i < count; ++i) {
    if (weights[i] != 0.0) sum += weights[i] * double(taps[i]);
  }
  return uint16_t(uint32_t(TruncateToInt32(sum + 0.5)));
}

}  // namespace tessaro
