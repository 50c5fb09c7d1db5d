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
#include "render/quad_walk.h"
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

}  // namespace

uint32_t LerpAlpha(uint32_t alphaA, uint32_t alphaB, double k) {
  return ToChannel(double(alphaB) * (1 - k) + double(alphaA) * k + 0.5);
}

uint32_t LerpPixel(uint32_t a, uint32_t b, double k) {
  const uint32_t alphaA = PixelAlpha(a), alphaB = PixelAlpha(b);
  const uint32_t alpha = LerpAlpha(alphaA, alphaB, k);
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

  quad_walk::Corner corners[4];
  for (int k = 0; k < 4; ++k) corners[k] = quad_walk::MakeCorner(*nodes[k], lastColumn, lastRow);
  quad_walk::WalkQuad(corners, height_,
                      [&](const quad_walk::Edge& left, const quad_walk::Edge& right, int32_t y) {
                        DrawPerspectiveSpan(left.x, right.x, left.w, right.w, left.u, left.v,
                                            right.u, right.v, y, textureIndex);
                      });
}

void CScene3D::DrawPerspectiveSpan(double xLeft, double xRight, double wLeft, double wRight,
                                   double uLeft, double vLeft, double uRight, double vRight,
                                   int32_t y, int32_t textureIndex) {
  const CTexture3D& texture = textures_.At(textureIndex);
  if (y < 0 || y >= height_) return;

  quad_walk::Span span;
  if (!quad_walk::SetUpSpan(xLeft, xRight, wLeft, wRight, uLeft, vLeft, uRight, vRight, width_,
                            span)) {
    return;
  }
  double w = span.w, u = span.u, v = span.v;
  const double dw = span.dw, du = span.du, dv = span.dv;
  const int64_t first = span.first, last = span.last;

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
