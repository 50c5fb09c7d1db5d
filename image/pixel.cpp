#include "image/pixel.h"

#include <cstdint>

namespace tessaro {

uint32_t BlendPixelOver(uint32_t dst, uint32_t src) {
  const uint32_t as = PixelAlpha(src);
  if (as == 255) return src;
  if (as == 0) return dst;
  const uint32_t ad = PixelAlpha(dst);
  // a >= as >= 1 here, so the divisions below are safe.  The largest product,
  // 255 * 254 * 255, fits comfortably in 32 bits.
  const uint32_t a = ad - ad * as / 255 + as;
  const uint32_t keep = (255 - as) * ad;
  auto channel = [&](uint32_t cd, uint32_t cs) { return (cd * keep / 255 + cs * as) / a; };
  // The channel results cannot exceed 255: their numerator is at most 255 * a.
  return MakePixel(a, channel(PixelRed(dst), PixelRed(src)),
                   channel(PixelGreen(dst), PixelGreen(src)),
                   channel(PixelBlue(dst), PixelBlue(src)));
}

namespace {

uint32_t MixChannel(uint32_t a, uint32_t b, double t) {
  const double v = double(b) * (1.0 - t) + double(a) * t;
  // Beyond +-2^62 every double is a multiple of 256, so its low byte is 0;
  // clamping there (and mapping NaN to 0) keeps the conversion defined without
  // changing any result.
  constexpr double kLimit = 4611686018427387904.0;  // 2^62
  if (!(v > -kLimit && v < kLimit)) return 0;
  return uint32_t(uint64_t(int64_t(v)) & 0xFFu);
}

}  // namespace

uint32_t MixColor(uint32_t a, uint32_t b, double t) {
  return MakePixel(0, MixChannel(PixelRed(a), PixelRed(b), t),
                   MixChannel(PixelGreen(a), PixelGreen(b), t),
                   MixChannel(PixelBlue(a), PixelBlue(b), t));
}

uint32_t SwapRedBlue(uint32_t c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

}  // namespace tessaro
