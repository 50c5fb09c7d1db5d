// The textured quad filler: a scanline walk down the two edge chains of a quad,
// perspective-correct texture coordinates along each row, bilinear alpha-aware
// sampling and compositing over the colour buffer.
//
// This is the reference implementation: plain, stepping every value by
// addition from row to row and column to column (far above the target excepted,
// see kWalkedRowsAboveTarget), with no allocation.  Faster fillers are checked
// against it bit for bit.
#include "render/quad_filler.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>

#include "image/numeric.h"
#include "image/pixel.h"
#include "scene/scene3d.h"

namespace tessaro {

namespace {

uint32_t ToChannel(double value) {
  const int32_t v = TruncateToInt32(value);
  return v < 0 ? 0u : v > 255 ? 255u : uint32_t(v);
}

// Pins a texel coordinate to 0..last; NaN goes to 0.
double PinCoordinate(double t, double last) {
  if (!(t >= 0)) return 0;
  return t > last ? last : t;
}

// 1 / d with the IEEE result for d = 0 (an infinity of d's sign), without
// dividing by zero.
double Reciprocal(double d) {
  if (d == 0) return std::copysign(std::numeric_limits<double>::infinity(), d);
  return 1 / d;
}

int Previous(int corner) { return (corner + 3) & 3; }
int Next(int corner) { return (corner + 1) & 3; }

// A quad corner as the filler uses it.  w = 1 / depth and the texel position
// times w (u, v) vary linearly over the screen, as does x.
struct Corner {
  int32_t x, y;
  double w, u, v;
};

// The current values along one edge and their increments per row.
struct Edge {
  int end;         // corner index the edge runs to
  int64_t endRow;  // that corner's screen row
  double x, w, u, v;
  double dx, dw, du, dv;

  // Sets the edge up at its start corner.  False for a zero-height edge.
  bool Start(const Corner* corners, int from, int to) {
    const Corner& a = corners[from];
    const Corner& b = corners[to];
    // Screen coordinates span the whole 32-bit range: differences in 64 bits.
    const int64_t height = int64_t(b.y) - int64_t(a.y);
    if (height == 0) return false;
    const double h = double(height);
    end = to;
    endRow = b.y;
    x = double(a.x);
    w = a.w;
    u = a.u;
    v = a.v;
    dx = double(int64_t(b.x) - int64_t(a.x)) / h;
    dw = (b.w - a.w) / h;
    du = (b.u - a.u) / h;
    dv = (b.v - a.v) / h;
    return true;
  }

  void Step() {
    x += dx;
    w += dw;
    u += du;
    v += dv;
  }

  // Only used far above the target, see kWalkedRowsAboveTarget.
  void Advance(int64_t rows) {
    const double n = double(rows);
    x += n * dx;
    w += n * dw;
    u += n * du;
    v += n * dv;
  }
};

}  // namespace

uint32_t LerpPixel(uint32_t a, uint32_t b, double k) {
  const uint32_t alphaA = PixelAlpha(a), alphaB = PixelAlpha(b);
  const uint32_t alpha = ToChannel(double(alphaB) * (1 - k) + double(alphaA) * k + 0.5);
  if (alphaA == 0) return (alpha << 24) | PixelColour(b);
  if (alphaB == 0) return (alpha << 24) | PixelColour(a);
  // Mixing colours by the bare weights would let the colour of a nearly
  // transparent pixel darken or tint an opaque one; the weight is moved towards
  // the more opaque side by their alpha difference.
  double kc;
  if (alphaA > alphaB) {
    kc = k + (1 - k) * double(alphaA - alphaB) / 255;
  } else {
    kc = k - k * double(alphaB - alphaA) / 255;
  }
  auto mix = [&](uint32_t ca, uint32_t cb) {
    return ToChannel(double(cb) * (1 - kc) + double(ca) * kc + 0.5);
  };
  return MakePixel(alpha, mix(PixelRed(a), PixelRed(b)), mix(PixelGreen(a), PixelGreen(b)),
                   mix(PixelBlue(a), PixelBlue(b)));
}

uint32_t SampleBilinear(const CTexture3D& texture, double tu, double tv) {
  const double lastColumn = texture.Width() - 1.0;
  const double lastRow = texture.Height() - 1.0;
  // The span pins its coordinates already; pinning again here (NaN included)
  // makes the texel addresses below valid for any input.
  tu = PinCoordinate(tu, lastColumn);
  tv = PinCoordinate(tv, lastRow);
  double tu1 = tu + 1;
  if (tu1 > lastColumn) tu1 = lastColumn;
  double tv1 = tv + 1;
  if (tv1 > lastRow) tv1 = lastRow;
  const int32_t x0 = TruncateToInt32(tu), x1 = TruncateToInt32(tu1);
  const int32_t y0 = TruncateToInt32(tv), y1 = TruncateToInt32(tv1);
  const double fx = tu - x0;
  const double fy = tv - y0;
  // At the last column or row both neighbours are the same texel: the border
  // repeats instead of wrapping.
  const uint32_t lower = LerpPixel(texture.Texel(x0, y1), texture.Texel(x1, y1), 1 - fx);
  const uint32_t upper = LerpPixel(texture.Texel(x0, y0), texture.Texel(x1, y0), 1 - fx);
  return LerpPixel(upper, lower, 1 - fy);
}

void CScene3D::FillPerspectiveQuad(int32_t objectIndex, const CRect3D& quad) {
  const CObject3D& object = objects_.At(objectIndex);
  const CNode3D* nodes[4] = {&object.nodes.At(quad.i0), &object.nodes.At(quad.i1),
                             &object.nodes.At(quad.i2), &object.nodes.At(quad.i3)};
  const int32_t textureIndex = object.textureIndex;
  const CTexture3D& texture = textures_.At(textureIndex);
  const double lastColumn = texture.Width() - 1.0;
  const double lastRow = texture.Height() - 1.0;

  Corner corners[4];
  for (int k = 0; k < 4; ++k) {
    const CNode3D& n = *nodes[k];
    const double w = Reciprocal(n.depth);
    corners[k] = {n.sx, n.sy, w, lastColumn * n.s * w, lastRow * n.t * w};
  }

  // Top corner: the highest; of two on the top row the later one in the quad's
  // order, unless it lies to the left.
  int top = 0;
  for (int k = 1; k < 4; ++k) {
    const bool higher = corners[k].y < corners[top].y;
    const bool laterOnSameRow =
        corners[k].y == corners[top].y && corners[k].x >= corners[top].x && k == top + 1;
    if (higher || laterOnSameRow) top = k;
  }

  // The left chain runs backwards through the corners, the right chain forwards.
  // Horizontal edges at the top are skipped on the left only.
  int leftStart = top;
  while (corners[Previous(leftStart)].y == corners[leftStart].y && Previous(leftStart) != top)
    leftStart = Previous(leftStart);
  Edge left, right;
  if (!left.Start(corners, leftStart, Previous(leftStart))) return;
  if (!right.Start(corners, top, Next(top))) return;

  // A quad listed counter-clockwise on the screen starts with its right edge to
  // the left of its left edge: back faces draw nothing.
  if (right.x < left.x) return;

  int64_t lowestCornerRow = corners[0].y;
  for (const Corner& c : corners) lowestCornerRow = std::max<int64_t>(lowestCornerRow, c.y);
  const int64_t firstWalkedRow = -kWalkedRowsAboveTarget;
  int rowsPastCorners = 0;

  for (int64_t y = corners[top].y;;) {
    if (y >= height_) return;
    int64_t rows = 1;
    if (y >= 0) {
      DrawPerspectiveSpan(left.x, right.x, left.w, right.w, left.u, left.v, right.u, right.v,
                          int32_t(y), textureIndex);
    } else if (y < firstWalkedRow) {
      // Far above the target (only extreme projections get here) the walk
      // moves in large steps.  It takes the decisions the row-by-row walk
      // takes; only the last bits of the stepped values may differ.
      if (y >= lowestCornerRow) {
        // Past every corner both edges end on every row and each new edge is
        // set up from its corners alone, so the walk repeats every four rows.
        // Two cycles without stopping mean it never stops up here: skip whole
        // cycles.
        if (++rowsPastCorners > 8) y += 4 * ((firstWalkedRow - y) / 4);
      } else {
        // Both edges are straight up to the next corner row; the difference of
        // their x is linear there, so it cannot turn negative in between
        // without being negative at the end of the jump as well.
        rows = std::min({firstWalkedRow - y, left.endRow + 1 - y, right.endRow + 1 - y});
        rows = std::max<int64_t>(rows, 1);
      }
    }
    if (rows == 1) {
      left.Step();
      right.Step();
    } else {
      left.Advance(rows);
      right.Advance(rows);
    }
    y += rows;

    if (y > left.endRow) {
      if (left.end == right.end) return;  // the chains have met
      const int from = left.end;
      if (!left.Start(corners, from, Previous(from))) return;
      left.Step();  // the new edge's values for the current row
    }
    if (y > right.endRow) {
      const int from = right.end;
      if (!right.Start(corners, from, Next(from))) return;
      right.Step();
    }
    if (right.x < left.x) return;
  }
}

void CScene3D::DrawPerspectiveSpan(double xLeft, double xRight, double wLeft, double wRight,
                                   double uLeft, double vLeft, double uRight, double vRight,
                                   int32_t y, int32_t textureIndex) {
  const CTexture3D& texture = textures_.At(textureIndex);
  if (y < 0 || y >= height_) return;

  // Columns are the ends rounded; equal columns paint nothing, so a span never
  // paints one isolated pixel (the tip of a diamond stays empty).
  int32_t c0 = TruncateToInt32(xLeft + 0.5);
  int32_t c1 = TruncateToInt32(xRight + 0.5);
  if (c0 == c1) return;
  double x0 = xLeft, w0 = wLeft, u0 = uLeft, v0 = vLeft;
  double x1 = xRight, w1 = wRight, u1 = uRight, v1 = vRight;
  if (c1 < c0) {
    std::swap(c0, c1);
    std::swap(x0, x1);
    std::swap(w0, w1);
    std::swap(u0, u1);
    std::swap(v0, v1);
  }
  const double dx = x1 - x0;
  if (!(dx >= 1e-7)) return;  // also NaN
  const double dw = (w1 - w0) / dx;
  const double du = (u1 - u0) / dx;
  const double dv = (v1 - v0) / dx;

  const double offset = double(c0) - x0;
  double w = w0 + offset * dw;
  double u = u0 + offset * du;
  double v = v0 + offset * dv;
  if (c0 < 0) {
    w = w - double(c0) * dw;
    u = u - double(c0) * du;
    v = v - double(c0) * dv;
  }
  const int64_t first = std::max<int64_t>(c0, 0);
  const int64_t last = std::min<int64_t>(c1, int64_t(width_) - 1);
  if (first > last) return;

  const double lastColumn = texture.Width() - 1.0;
  const double lastRow = texture.Height() - 1.0;
  uint32_t* row = colour_ + size_t(y) * size_t(stride_);
  for (int64_t c = first; c <= last; ++c) {
    // Near limit: nothing closer than 5.5 units is drawn, and the row ends
    // there.  Depths that do not fit in 32 bits convert to INT32_MIN and end it
    // too, as do points at or behind the eye (tested first so that nothing is
    // divided by zero; the row would end on them anyway).
    if (!(w > 0)) return;
    const double z = 1 / w;
    if (TruncateToInt32(z + 0.5) <= 5) return;
    double tu = u / w;
    double tv = v / w;
    if (tu < 0) tu = 0;
    if (tv < 0) tv = 0;
    if (tu > lastColumn) tu = lastColumn;
    if (tv > lastRow) tv = lastRow;
    row[c] = BlendPixelOver(row[c], SampleBilinear(texture, tu, tv));
    w += dw;
    u += du;
    v += dv;
  }
}

}  // namespace tessaro
