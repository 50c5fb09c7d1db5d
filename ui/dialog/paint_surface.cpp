#include "ui/dialog/paint_surface.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "image/pixel.h"

namespace tessaro {

void CPaintSurface::Draw3dRect(const DibRect& rect, uint32_t topLeft, uint32_t bottomRight) {
  if (rect.left >= rect.right || rect.top >= rect.bottom) return;
  // right - 1 and bottom - 1 cannot overflow: they exceed left and top.
  const int32_t r1 = rect.right - 1, b1 = rect.bottom - 1;
  FillRect({rect.left, rect.top, r1, rect.top + 1}, topLeft);
  FillRect({rect.left, rect.top, rect.left + 1, b1}, topLeft);
  FillRect({r1, rect.top, rect.right, rect.bottom}, bottomRight);
  FillRect({rect.left, b1, rect.right, rect.bottom}, bottomRight);
}

DibRect CDibSurface::Bounds() const {
  if (image_.Pixels() == nullptr) return {0, 0, 0, 0};
  return image_.ClipRect();
}

void CDibSurface::FillRect(const DibRect& rect, uint32_t color) {
  const DibRect clip = Bounds();
  const int32_t left = std::max(rect.left, clip.left), right = std::min(rect.right, clip.right);
  const int32_t top = std::max(rect.top, clip.top), bottom = std::min(rect.bottom, clip.bottom);
  if (left >= right || top >= bottom) return;
  const uint32_t pixel = 0xFF000000u | SwapRedBlue(color);
  uint32_t* const pixels = image_.Pixels();
  const size_t stride = size_t(image_.Stride());
  for (int32_t y = top; y < bottom; ++y) {
    uint32_t* row = pixels + size_t(y) * stride;
    std::fill(row + left, row + right, pixel);
  }
}

}  // namespace tessaro
