#include "image/ellipse_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstddef>
#include <cstdint>

namespace tessaro {

namespace {

// Far beyond anything eight times a 32-bit position can reach, and small
// enough that every sum and doubled value below stays exact in a double.
constexpr int64_t kMaxCoordinate = int64_t(1) << 40;

int64_t FloorHalf(int64_t v) { return v >= 0 ? v / 2 : -((1 - v) / 2); }
int64_t CeilHalf(int64_t v) { return -FloorHalf(-v); }

// Horizontal reach of one row, in half pixels from the centre line to the
// centre of the outermost pixel.  w and h are the box's width and height
// less one (the distance between the centres of its edge pixels), dy the
// row's distance from the horizontal centre line in half pixels (dy <= h).
//
// A one-pixel outline puts, where the curve is steep, one pixel per row
// nearest the curve (reach at the row centre plus half a pixel) and, where it
// is flat, one pixel per column nearest the curve (the curve's widest point
// within the half pixel of the row that lies towards the centre).  The row is
// filled out to whichever reaches further.
int64_t RowReach(int64_t w, int64_t h, int64_t dy) {
  const double wd = double(w);
  auto reachAt = [&](int64_t d) {
    const double q = double(d) / double(h);
    return wd * std::sqrt(std::max(0.0, 1.0 - q * q));
  };
  const double steep = (h > 0 ? reachAt(dy) : wd) + 1.0;
  const double flat = dy > 1 ? reachAt(dy - 1) : wd;
  return std::min<int64_t>(w, int64_t(std::floor(std::max(steep, flat))));
}

bool Plausible(const EllipseBox& b) {
  auto ok = [](int64_t v) { return v > -kMaxCoordinate && v < kMaxCoordinate; };
  return ok(b.left) && ok(b.top) && ok(b.right) && ok(b.bottom);
}

}  // namespace

bool EllipseRowSpan(const EllipseBox& box, int64_t y, int64_t* first, int64_t* last) {
  if (!Plausible(box) || box.right <= box.left || box.bottom <= box.top) return false;
  if (y < box.top || y >= box.bottom) return false;
  const int64_t w = box.right - box.left - 1;
  const int64_t h = box.bottom - box.top - 1;
  // Doubled coordinates put the centre, which may fall between pixels, on
  // the integer grid, so the span is exactly symmetric.
  const int64_t dy = std::abs(2 * y - (box.top + box.bottom - 1));
  const int64_t reach = RowReach(w, h, dy);
  const int64_t centre2 = box.left + box.right - 1;
  *first = CeilHalf(centre2 - reach);
  *last = FloorHalf(centre2 + reach);
  return true;
}

void FillEllipseInto(CDib& image, int64_t originX, int64_t originY, const EllipseBox& box,
                     uint32_t value) {
  uint32_t* const pixels = image.Pixels();
  if (pixels == nullptr) return;
  const DibRect& clip = image.ClipRect();
  const int64_t rowFrom = std::max(box.top, originY + clip.top);
  const int64_t rowTo = std::min(box.bottom, originY + clip.bottom);
  const int64_t colFrom = originX + clip.left;
  const int64_t colTo = originX + clip.right;  // exclusive
  for (int64_t y = rowFrom; y < rowTo; ++y) {
    int64_t first = 0, last = 0;
    if (!EllipseRowSpan(box, y, &first, &last)) continue;
    first = std::max(first, colFrom);
    last = std::min(last, colTo - 1);
    if (first > last) continue;
    uint32_t* row = pixels + size_t(y - originY) * size_t(image.Stride());
    std::fill(row + (first - originX), row + (last - originX) + 1, value);
  }
}

}  // namespace tessaro
