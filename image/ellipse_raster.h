// Filled ellipses on the pixel grid, the way a platform draws a filled ellipse
// with a one-pixel outline of the fill colour: the box is left/top inclusive
// and right/bottom exclusive, and the shape touches all four edges of
// left..right-1 x top..bottom-1.  Having our own rasteriser keeps the
// anti-aliased shapes identical on every platform and testable natively.
//
// Coordinates are 64-bit because the shapes rasterise at eight times the
// target's resolution, where 32-bit pixel positions no longer fit.
#pragma once

#include <cstdint>

#include "image/dib.h"

namespace tessaro {

struct EllipseBox {
  int64_t left, top, right, bottom;  // right and bottom exclusive
};

// The pixels of row y that belong to the ellipse, first..last inclusive.
// False when the row misses the ellipse (or the box is empty).  Every span is
// symmetric about the box's vertical centre line, rows at equal distance from
// the horizontal centre line get equal spans, and every span lies inside the
// box.
bool EllipseRowSpan(const EllipseBox& box, int64_t y, int64_t* first, int64_t* last);

// Sets every pixel of image whose position, offset by (originX, originY), lies
// in the ellipse to value.  The image may show any window of the plane: only
// the rows and columns inside its clip rectangle are visited.
void FillEllipseInto(CDib& image, int64_t originX, int64_t originY, const EllipseBox& box,
                     uint32_t value);

}  // namespace tessaro
