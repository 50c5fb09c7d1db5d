// Anti-aliased shapes: coverage goes into a mask first, then the colour is
// composited through it, so every shape shares one compositing rule and a
// transparent colour erases along the shape.
//
// The intermediate masks are only as large as the part of the shape that can
// show: a shape far outside the target, or a huge one on a small target, costs
// no more memory than the visible part, and ellipses are supersampled tile by
// tile so their working memory stays bounded whatever the target's size.  The
// pixels that result are those of a full-size mask.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "image/dib.h"
#include "image/ellipse_raster.h"
#include "image/pixel.h"

namespace tessaro {

namespace {

constexpr int64_t kF = CDib::kSupersample;
// Target pixels per side of one supersampled tile: a 512 x 512 large mask.
constexpr int64_t kTilePixels = 64;

struct Area {
  int64_t left, top, right, bottom;  // right and bottom exclusive
  bool Empty() const { return left >= right || top >= bottom; }
};

Area Intersect(const Area& a, const Area& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

Area FromRect(const DibRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// Where an image can be painted: its clip rectangle, or its whole size when
// no rectangle has been set.
Area PaintArea(const CDib& image) {
  const DibRect& clip = image.ClipRect();
  if (clip.left == kDibNoClip) return {0, 0, image.Width(), image.Height()};
  return FromRect(clip);
}

// The mask value of a fully covered pixel: transparent colours still cover.
uint32_t ShapeAlpha(uint32_t colour) {
  const uint32_t a = PixelAlpha(colour);
  return a != 0 ? a : 255;
}

// Composites colour into target over area (already inside the target) through
// the mask, whose pixel (0, 0) lies on target pixel (maskX, maskY).
void ApplyMaskAt(CDib& target, const CDib& mask, int64_t maskX, int64_t maskY, uint32_t colour,
                 const Area& area) {
  if (area.Empty()) return;
  const bool erase = PixelAlpha(colour) == 0;
  const Area maskArea = {maskX, maskY, maskX + mask.Width(), maskY + mask.Height()};
  const Area a = Intersect(area, maskArea);
  for (int64_t y = a.top; y < a.bottom; ++y) {
    for (int64_t x = a.left; x < a.right; ++x) {
      const uint32_t m = PixelBlue(mask.PixelAt(int32_t(x - maskX), int32_t(y - maskY)));
      if (m == 0) continue;
      if (erase) {
        target.EraseAlpha(int32_t(x), int32_t(y), int32_t(m));
      } else {
        target.BlendPixel(int32_t(x), int32_t(y), (m << 24) | PixelColour(colour));
      }
    }
  }
}

// Rasterises the shape (less the hole, if any) at eight times the resolution
// and composites its averaged coverage over the target pixels of box.
void PaintSupersampled(CDib& target, const Area& box, const EllipseBox& shape,
                       const EllipseBox* hole, uint32_t colour) {
  const Area region = Intersect(box, PaintArea(target));
  if (region.Empty()) return;
  const int64_t tileW = std::min(kTilePixels, region.right - region.left);
  const int64_t tileH = std::min(kTilePixels, region.bottom - region.top);
  // Both masks are allocated before anything is drawn, so running out of
  // memory leaves the target untouched rather than half painted.
  CDib large, mask;
  if (!large.Create(int32_t(kF * tileW), int32_t(kF * tileH)) ||
      !mask.Create(int32_t(tileW), int32_t(tileH)))
    throw std::bad_alloc();
  const uint32_t alpha = ShapeAlpha(colour);
  for (int64_t ty = region.top; ty < region.bottom; ty += tileH) {
    for (int64_t tx = region.left; tx < region.right; tx += tileW) {
      const Area tile = Intersect({tx, ty, tx + tileW, ty + tileH}, region);
      if (tx != region.left || ty != region.top) large.Create(large.Width(), large.Height());
      FillEllipseInto(large, kF * tx, kF * ty, shape, alpha);
      if (hole != nullptr) FillEllipseInto(large, kF * tx, kF * ty, *hole, 0);
      large.Downsample(mask, {0, 0, int32_t(tile.right - tx), int32_t(tile.bottom - ty)});
      ApplyMaskAt(target, mask, tx, ty, colour, tile);
    }
  }
}

// Pixel box l..r x t..b (inclusive) as an area; the sums cannot overflow in 64 bits.
Area PixelBox(int32_t l, int32_t t, int32_t r, int32_t b) {
  return {l, t, int64_t(r) + 1, int64_t(b) + 1};
}

}  // namespace

void CDib::ApplyMask(const CDib& mask, uint32_t colour) {
  ApplyMaskAt(*this, mask, 0, 0, colour, PaintArea(*this));
}

void CDib::ApplyMask(const CDib& mask, uint32_t colour, const DibRect& rect) {
  ApplyMaskAt(*this, mask, 0, 0, colour, Intersect(PaintArea(*this), FromRect(rect)));
}

void CDib::Downsample(CDib& destination, const DibRect& rect) const {
  if (pixels_ == nullptr || destination.Width() <= 0) return;
  const int64_t k = int64_t(width_) / destination.Width();
  if (k <= 0) return;
  const int64_t n = k * k;
  const Area area = Intersect(PaintArea(destination), FromRect(rect));
  for (int64_t y = area.top; y < area.bottom; ++y) {
    // Pixels outside this image's clip read as 0, so they simply drop out.
    const int64_t rowFrom = std::max<int64_t>(k * y, clip_.top);
    const int64_t rowTo = std::min<int64_t>(k * y + k, clip_.bottom);
    for (int64_t x = area.left; x < area.right; ++x) {
      const int64_t colFrom = std::max<int64_t>(k * x, clip_.left);
      const int64_t colTo = std::min<int64_t>(k * x + k, clip_.right);
      int64_t sum = 0;
      for (int64_t sy = rowFrom; sy < rowTo; ++sy) {
        const uint32_t* p = pixels_ + size_t(sy) * size_t(stride_);
        for (int64_t sx = colFrom; sx < colTo; ++sx) sum += PixelBlue(p[sx]);
      }
      const uint32_t c = uint32_t(sum / n);
      destination.SetPixel(int32_t(x), int32_t(y), 0xFF000000u | c * 0x010101u);
    }
  }
}

void CDib::DrawEllipseRing(int32_t left, int32_t top, int32_t right, int32_t bottom,
                           uint32_t colour, int32_t ringWidth) {
  const int64_t l = left, t = top, r = right, b = bottom, e = ringWidth;
  const EllipseBox outer = {kF * l, kF * t, kF * (r + 1), kF * (b + 1)};
  // A ring wider than the ellipse leaves an empty inner box, so the whole
  // ellipse stays filled.
  const EllipseBox inner = {kF * (l + e), kF * (t + e), kF * (r - e + 1), kF * (b - e + 1)};
  PaintSupersampled(*this, PixelBox(left, top, right, bottom), outer, &inner, colour);
}

void CDib::FillEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom,
                       uint32_t colour) {
  const int64_t l = left, t = top, r = right, b = bottom;
  const EllipseBox shape = {kF * l + 2, kF * t + 2, kF * (r + 1) - 2, kF * (b + 1) - 2};
  PaintSupersampled(*this, PixelBox(left, top, right, bottom), shape, nullptr, colour);
}

void CDib::DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour,
                    int32_t width) {
  const Area paint = PaintArea(*this);
  if (paint.Empty()) return;
  const int64_t alpha = ShapeAlpha(colour);

  // The walk runs along u and steps across along v; for mostly vertical
  // lines u is y.  Every quantity is 64-bit: the coordinate differences
  // alone need 33 bits.
  const bool steep = std::llabs(int64_t(x1) - x0) < std::llabs(int64_t(y1) - y0);
  const int64_t u0 = steep ? y0 : x0, u1 = steep ? y1 : x1;
  const int64_t v0 = steep ? x0 : y0, v1 = steep ? x1 : y1;
  const int64_t du = std::llabs(u1 - u0), dv = std::llabs(v1 - v0);
  const int64_t du2 = 2 * du, dv2 = 2 * dv;
  const int64_t su = u1 < u0 ? -1 : 1, sv = v1 < v0 ? -1 : 1;
  const int64_t f = width;
  const int64_t m = (f - 1) / 2, h = f / 2;  // band offsets -m..h across the line
  const int64_t nearSide = sv >= 0 ? h + 1 : -(m + 1);
  const int64_t farSide = sv >= 0 ? -(m + 1) : h + 1;

  // Only the part of the line that can land on the target is walked and
  // masked: every write of a step lies in its own column (row, if steep)
  // within the side offsets.
  const int64_t vLo = std::min(v0, v1) + std::min<int64_t>(0, -(m + 1));
  const int64_t vHi = std::max(v0, v1) + std::max<int64_t>(0, h + 1);
  const Area uv = {std::min(u0, u1), vLo, std::max(u0, u1) + 1, vHi + 1};
  const Area box = steep ? Area{uv.top, uv.left, uv.bottom, uv.right} : uv;
  const Area region = Intersect(box, paint);
  if (region.Empty()) return;
  CDib mask;
  if (!mask.Create(int32_t(region.right - region.left), int32_t(region.bottom - region.top)))
    throw std::bad_alloc();
  const int64_t uFrom = steep ? region.top : region.left;
  const int64_t uTo = (steep ? region.bottom : region.right) - 1;
  const int64_t vFrom = steep ? region.left : region.top;
  const int64_t vTo = (steep ? region.right : region.bottom) - 1;
  auto put = [&](int64_t u, int64_t v, int64_t value) {
    if (v < vFrom || v > vTo) return;
    const int64_t x = steep ? v : u, y = steep ? u : v;
    mask.SetPixel(int32_t(x - region.left), int32_t(y - region.top), uint32_t(value));
  };
  auto band = [&](int64_t u, int64_t v) {
    const int64_t kFrom = std::max(-m, vFrom - v), kTo = std::min(h, vTo - v);
    for (int64_t k = kFrom; k <= kTo; ++k) put(u, v + k, alpha);
  };

  // Steps i = 0..du visit u0 + su * i; keep those inside the region.
  const int64_t iFirst = std::max<int64_t>(0, su > 0 ? uFrom - u0 : u0 - uTo);
  const int64_t iLast = std::min<int64_t>(du, su > 0 ? uTo - u0 : u0 - uFrom);
  if (iFirst > iLast) return;

  // The walk's state after iFirst steps, in closed form: the across position
  // has moved by round(dv * i / du) (halves rounding up), which is when the
  // error term first reached 0.  dv * i < 2^64 since both are below 2^32.
  int64_t v = v0, e = dv2 - du, p = du * 180;
  if (dv2 != 0 && iFirst > 0) {
    const uint64_t prod = uint64_t(dv) * uint64_t(iFirst);
    const int64_t q = int64_t(prod / uint64_t(du));
    const int64_t rem = int64_t(prod % uint64_t(du));
    const int64_t moved = 2 * rem >= du ? q + 1 : q;
    v = v0 + sv * moved;
    e = dv2 - du + 2 * (rem - du * (moved - q));
    p = 180 * (e + du2 - dv2);
  }

  for (int64_t i = iFirst; i <= iLast; ++i) {
    const int64_t u = u0 + su * i;
    if (dv2 == 0) {
      band(u, v);
    } else {
      // A: where the line crosses this column, in 1/180 of a pixel from the
      // near side; 90 is the pixel's centre.
      int64_t a = p / du2;
      if (a == 0) a = 1;
      put(u, v + nearSide, a * alpha / 255);
      put(u, v + farSide, (180 - a != 0 ? 180 - a : 1) * alpha / 255);
      if (f > 1) {
        band(u, v);
      } else {
        put(u, v, (255 - std::llabs(a - 90) * 76 / 90) * alpha / 255);
      }
      if (e >= 0) {
        v += sv;
        e -= du2;
        p -= du2 * 180;
      }
    }
    e += dv2;
    p += dv2 * 180;
  }
  ApplyMaskAt(*this, mask, region.left, region.top, colour, region);
}

}  // namespace tessaro
