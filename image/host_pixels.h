// The host's buffers for one run as the effect reads them, and the object's
// bounds in them.  Plain views: the host glue fills them in from the filter
// record, the scene reads them.
#pragma once

#include <cstdint>

namespace tessaro {

// The object's bounding box in filter-rectangle coordinates, inclusive,
// widened by a margin and clamped to the image.
struct ObjectBounds {
  int32_t imageWidth = 0;
  int32_t imageHeight = 0;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t width() const { return right - left + 1; }
  int32_t height() const { return bottom - top + 1; }
};

// A view of the buffers the host delivered for the whole filter rectangle,
// planes interleaved: red, green, blue and, with four planes, transparency.
struct HostPixels {
  int32_t width = 0;
  int32_t height = 0;
  int32_t planes = 0;
  const uint8_t* in = nullptr;
  int64_t inRowBytes = 0;
  uint8_t* out = nullptr;
  int64_t outRowBytes = 0;
  const uint8_t* mask = nullptr;  // null without a selection
  int64_t maskRowBytes = 0;
  uint8_t background[3] = {255, 255, 255};  // red, green, blue

  const uint8_t* In(int32_t x, int32_t y) const { return in + y * inRowBytes + int64_t(x) * planes; }
  uint8_t* Out(int32_t x, int32_t y) const { return out + y * outRowBytes + int64_t(x) * planes; }
  uint8_t Mask(int32_t x, int32_t y) const { return mask[y * maskRowBytes + x]; }

  // How much of the pixel belongs to the object: its transparency weighted by
  // the selection, or the selection alone on an image without transparency.
  uint8_t Coverage(int32_t x, int32_t y) const {
    if (planes >= 4) {
      const uint32_t alpha = In(x, y)[3];
      return mask ? uint8_t(alpha * Mask(x, y) / 255) : uint8_t(alpha);
    }
    return mask ? Mask(x, y) : 0;
  }
};

}  // namespace tessaro
