#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

#include "image/dib.h"
#include "image/ellipse_raster.h"
#include "image/pixel.h"

namespace tessaro {
namespace {

// Painting onto a transparent image keeps the source pixel, so the alpha of
// each target pixel is the coverage the shape gave it.
std::vector<uint32_t> Alphas(const CDib& d) {
  std::vector<uint32_t> a;
  for (int y = 0; y < d.Height(); ++y)
    for (int x = 0; x < d.Width(); ++x) a.push_back(PixelAlpha(d.PixelAt(x, y)));
  return a;
}

CDib Blank(int w, int h) {
  CDib d;
  d.Create(w, h);
  return d;
}

TEST(CDibApplyMask, CompositesByBlueByteAndErasesWithTransparentColour) {
  CDib target = Blank(3, 1), mask = Blank(3, 1);
  target.Fill(0xFFFFFFFFu);
  mask.SetPixel(0, 0, 0xFFFFFF80u);  // only the blue byte counts: 128
  mask.SetPixel(1, 0, 0xFFFFFF00u);  // coverage 0: skipped
  mask.SetPixel(2, 0, 0x000000FFu);
  target.ApplyMask(mask, 0xFF0000FFu, DibRect{0, 0, 2, 1});
  EXPECT_EQ(target.PixelAt(0, 0), 0xFF7F7FFFu);  // half blue, half white
  EXPECT_EQ(target.PixelAt(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(target.PixelAt(2, 0), 0xFFFFFFFFu);  // outside the rectangle
  target.ApplyMask(mask, 0x00123456u);
  EXPECT_EQ(target.PixelAt(0, 0), 0x7F7F7FFFu);  // alpha 255 * 127 / 255, colour kept
  EXPECT_EQ(target.PixelAt(2, 0), 0x00FFFFFFu);
}

TEST(CDibDownsample, AveragesBlocksWithTruncationInsideTheRectangle) {
  CDib large = Blank(7, 6), small = Blank(2, 2);  // k = 7 / 2 = 3
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 7; ++x) large.SetPixel(x, y, 0xFFFFFF00u | uint32_t(10 * x + y));
  small.Fill(0x12345678u);
  large.Downsample(small, DibRect{0, 0, 2, 1});
  // Block (0,0): columns 0..2, rows 0..2: sum 90 + 9 = 99, / 9 = 11.
  EXPECT_EQ(small.PixelAt(0, 0), 0xFF0B0B0Bu);
  EXPECT_EQ(small.PixelAt(1, 0), 0xFF292929u);  // (3*(30+40+50) + 9) / 9 = 41
  EXPECT_EQ(small.PixelAt(0, 1), 0x12345678u);
  CDib wide = Blank(8, 1);
  large.Downsample(wide, DibRect{0, 0, 8, 1});  // smaller than its destination
  EXPECT_EQ(wide.PixelAt(0, 0), 0u);
}

TEST(CDibDrawLine, HorizontalAndDiagonalCoverage) {
  CDib d = Blank(12, 12);
  d.DrawLine(0, 0, 10, 0, 0xFF204060u, 1);
  for (int x = 0; x < 12; ++x) EXPECT_EQ(d.PixelAt(x, 0), x <= 10 ? 0xFF204060u : 0u) << x;
  for (int x = 0; x < 12; ++x) EXPECT_EQ(d.PixelAt(x, 1), 0u);

  d.Create(12, 12);
  d.DrawLine(0, 0, 10, 10, 0xFF000000u, 1);
  const std::vector<uint32_t> a = Alphas(d);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const uint32_t want = (x == y && x <= 10) ? 255 : (std::abs(x - y) == 1 && x <= 10) ? 90 : 0;
      EXPECT_EQ(a[size_t(y * 12 + x)], want) << x << "," << y;
    }
}

TEST(CDibDrawLine, WideBandHasPartialEdgesAndCoverageNeverExceedsAlpha) {
  CDib d = Blank(16, 12);
  d.DrawLine(1, 3, 13, 7, 0x64000000u, 3);  // alpha 100
  for (int x = 1; x <= 13; ++x) {
    int full = 0, partial = 0;
    for (int y = 0; y < 12; ++y) {
      const uint32_t a = PixelAlpha(d.PixelAt(x, y));
      EXPECT_LE(a, 100u);
      full += a == 100;
      partial += a > 0 && a < 100;
    }
    EXPECT_EQ(full, 3) << x;
    EXPECT_EQ(partial, 2) << x;
  }
  // A single point is the band at full coverage.
  d.Create(5, 5);
  d.DrawLine(2, 2, 2, 2, 0xFF000000u, 3);
  for (int y = 0; y < 5; ++y) EXPECT_EQ(PixelAlpha(d.PixelAt(2, y)), (y >= 1 && y <= 3) ? 255u : 0u);
}

// The walk as a plain loop over every step, writing to an unclipped mask.
std::vector<uint32_t> ReferenceLine(int w, int h, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
                                    int64_t f) {
  std::vector<uint32_t> m(size_t(w * h), 0);
  int64_t dx2 = 2 * std::llabs(x1 - x0), dy2 = 2 * std::llabs(y1 - y0);
  int64_t sx = x1 < x0 ? -1 : 1, sy = y1 < y0 ? -1 : 1;
  const bool steep = dx2 < dy2;
  if (steep) std::swap(x0, y0), std::swap(x1, y1), std::swap(dx2, dy2), std::swap(sx, sy);
  auto put = [&](int64_t u, int64_t v, int64_t c) {
    const int64_t x = steep ? v : u, y = steep ? u : v;
    if (x >= 0 && x < w && y >= 0 && y < h) m[size_t(y * w + x)] = uint32_t(c);
  };
  const int64_t mm = (f - 1) / 2, hh = f / 2, nearS = sy >= 0 ? hh + 1 : -(mm + 1);
  int64_t y = y0, e = dy2 - dx2 / 2, p = dx2 / 2 * 180;
  for (int64_t x = x0;; x += sx) {
    if (dy2 == 0) {
      for (int64_t k = -mm; k <= hh; ++k) put(x, y + k, 255);
    } else {
      const int64_t a = std::max<int64_t>(1, p / dx2);
      put(x, y + nearS, a);
      put(x, y + (sy >= 0 ? -(mm + 1) : hh + 1), std::max<int64_t>(1, 180 - a));
      if (f > 1) {
        for (int64_t k = -mm; k <= hh; ++k) put(x, y + k, 255);
      } else {
        put(x, y, 255 - std::llabs(a - 90) * 76 / 90);
      }
    }
    if (e >= 0) y += sy, e -= dx2, p -= dx2 * 180;
    e += dy2, p += dy2 * 180;
    if (x == x1) break;
  }
  return m;
}

TEST(CDibDrawLine, ClippedWalkMatchesTheFullWalk) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> near(-60, 60), far(-(1 << 16), 1 << 16), fw(-1, 5);
  for (int i = 0; i < 3000; ++i) {
    // Every tenth line starts far away, so the walk is entered mid-way.
    int x0 = i % 10 == 0 ? far(rng) : near(rng), y0 = i % 10 == 0 ? far(rng) : near(rng);
    int x1 = near(rng), y1 = near(rng);
    if (i % 20 == 0) std::swap(x0, x1), std::swap(y0, y1);
    const int f = fw(rng);
    CDib d = Blank(23, 17);
    d.DrawLine(x0, y0, x1, y1, 0xFF000000u, f);
    ASSERT_EQ(Alphas(d), ReferenceLine(23, 17, x0, y0, x1, y1, f))
        << x0 << "," << y0 << " -> " << x1 << "," << y1 << " f " << f;
  }
}

TEST(CDibDrawLine, ExtremeCoordinatesAndWidths) {
  CDib d = Blank(8, 8);
  d.DrawLine(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0xFF000000u, 1);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelAlpha(d.PixelAt(x, x)), 255u);
  d.Create(8, 8);
  d.DrawLine(INT32_MAX, 5, INT32_MIN, 5, 0xFF000000u, 1);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelAlpha(d.PixelAt(x, 5)), 255u);
  d.DrawLine(0, INT32_MIN, 3, INT32_MAX, 0xFF000000u, INT32_MIN);
  d.DrawLine(INT32_MIN, 0, INT32_MAX, 3, 0xFF000000u, INT32_MAX);
  EXPECT_EQ(Alphas(d), std::vector<uint32_t>(64, 255u));
}

TEST(EllipseRowSpan, SpansAreConvexSymmetricAndTouchEveryEdge) {
  for (int64_t w = 1; w <= 40; ++w) {
    for (int64_t h = 1; h <= 40; ++h) {
      const EllipseBox box = {-7, 3, -7 + w, 3 + h};
      int64_t minFirst = INT64_MAX, maxLast = INT64_MIN, prevFirst = INT64_MAX;
      for (int64_t y = box.top; y < box.bottom; ++y) {
        int64_t first = 0, last = 0;
        ASSERT_TRUE(EllipseRowSpan(box, y, &first, &last)) << w << "x" << h;
        ASSERT_LE(first, last) << w << "x" << h << " row " << y;  // no gaps in the outline
        ASSERT_EQ(first - box.left, box.right - 1 - last) << w << "x" << h << " row " << y;
        int64_t mFirst = 0, mLast = 0;
        EllipseRowSpan(box, box.top + box.bottom - 1 - y, &mFirst, &mLast);
        ASSERT_EQ(first, mFirst);
        // Widening towards the middle row, narrowing after it.
        if (2 * y < box.top + box.bottom) {
          ASSERT_LE(first, prevFirst);
        }
        prevFirst = first;
        minFirst = std::min(minFirst, first);
        maxLast = std::max(maxLast, last);
      }
      EXPECT_EQ(minFirst, box.left);
      EXPECT_EQ(maxLast, box.right - 1);
      int64_t f = 0, l = 0;
      EXPECT_FALSE(EllipseRowSpan(box, box.bottom, &f, &l));
    }
  }
}

TEST(CDibEllipse, FilledEllipseIsSymmetricAndStaysInItsBox) {
  for (int w = 1; w <= 20; w += 3) {
    for (int h = 1; h <= 20; h += 4) {
      CDib d = Blank(24, 24);
      d.FillEllipse(2, 1, 2 + w - 1, 1 + h - 1, 0xC8000000u);  // alpha 200
      for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
          const uint32_t a = PixelAlpha(d.PixelAt(x, y));
          const bool inside = x >= 2 && x < 2 + w && y >= 1 && y < 1 + h;
          ASSERT_LE(a, 200u);
          if (!inside) {
            ASSERT_EQ(a, 0u) << w << "x" << h;
          } else {
            ASSERT_EQ(a, PixelAlpha(d.PixelAt(2 + w - 1 - (x - 2), y)));
            ASSERT_EQ(a, PixelAlpha(d.PixelAt(x, 1 + h - 1 - (y - 1))));
          }
        }
      if (w >= 7 && h >= 7) {
        EXPECT_EQ(PixelAlpha(d.PixelAt(2 + w / 2, 1 + h / 2)), 200u);
      }
    }
  }
  CDib one = Blank(3, 3);
  one.FillEllipse(1, 1, 1, 1, 0xFF000000u);
  EXPECT_GT(PixelAlpha(one.PixelAt(1, 1)), 0u);
  EXPECT_LE(PixelAlpha(one.PixelAt(1, 1)), 255u / 4);
}

// Clipping, tiling and the origin of the supersampled masks must not show:
// an ellipse far larger than one tile, hanging over the target's edges,
// equals the same part of it drawn whole.
TEST(CDibEllipse, ClippedAndTiledEllipseEqualsTheWholeOne) {
  CDib whole = Blank(180, 150), part = Blank(70, 90);
  whole.DrawEllipseRing(0, 0, 179, 149, 0xFF000000u, 9);
  part.DrawEllipseRing(-100, -40, 79, 109, 0xFF000000u, 9);
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 70; ++x) ASSERT_EQ(part.PixelAt(x, y), whole.PixelAt(x + 100, y + 40));
  EXPECT_EQ(PixelAlpha(whole.PixelAt(90, 75)), 0u);  // the ring's hole
  EXPECT_EQ(PixelAlpha(whole.PixelAt(4, 75)), 255u);
  // Far beyond 32 bits once supersampled: the target lies deep inside.
  CDib deep = Blank(6, 6);
  deep.FillEllipse(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0xFF000000u);
  EXPECT_EQ(Alphas(deep), std::vector<uint32_t>(36, 255u));
  deep.DrawEllipseRing(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0x00000000u, INT32_MAX);
  deep.DrawEllipseRing(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, 0x00000000u, INT32_MIN);
}

TEST(CDibEllipse, RingOfWidthZeroDrawsNothingAndTransparentRingErases) {
  CDib d = Blank(20, 20);
  d.Fill(0xFF336699u);
  d.DrawEllipseRing(0, 0, 19, 19, 0xFF000000u, 0);
  EXPECT_EQ(Alphas(d), std::vector<uint32_t>(400, 255u));
  d.DrawEllipseRing(0, 0, 19, 19, 0x00000000u, 1);
  EXPECT_LT(PixelAlpha(d.PixelAt(0, 10)), 255u);   // on the ring
  EXPECT_EQ(PixelColour(d.PixelAt(0, 10)), 0x336699u);
  EXPECT_EQ(d.PixelAt(10, 10), 0xFF336699u);        // inside it
  EXPECT_EQ(d.PixelAt(0, 0), 0xFF336699u);          // outside it
}

}  // namespace
}  // namespace tessaro
