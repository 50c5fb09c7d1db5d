#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "image/dib.h"
#include "image/pixel.h"
#include "image/resample_data.h"
#include "image/resample_filters.h"
#include "image/resample_weights.h"
#include "image/two_pass_scale.h"

namespace tessaro {
namespace {

std::vector<double> WeightsOf(const ResampleWeights& table, int32_t u) {
  const ResampleTaps t = table.Taps(u);
  return std::vector<double>(t.weights, t.weights + t.count);
}

// Weight 1 everywhere: the window alone decides which samples count.
class BoxFilter final : public CGenericFilter {
 public:
  BoxFilter() : CGenericFilter(1.0) {}
  double Filter(double) const override { return 1.0; }
};

TEST(ResampleWeights, BilinearWidth3IsTheTent12321OverNineAndRenormalisesAtBorders) {
  const ResampleWeights t = BuildWeights(CBilinearFilter(3.0), 20, 20, 1.0);
  EXPECT_EQ(t.Taps(10).first, 7);
  EXPECT_EQ(WeightsOf(t, 10), (std::vector<double>{0, 1 / 9., 2 / 9., 3 / 9., 2 / 9., 1 / 9., 0}));
  EXPECT_EQ(t.Taps(0).first, 0);
  EXPECT_EQ(WeightsOf(t, 0), (std::vector<double>{3 / 6., 2 / 6., 1 / 6., 0}));
  EXPECT_EQ(t.Taps(19).first, 16);
  EXPECT_EQ(WeightsOf(t, 19), (std::vector<double>{0, 1 / 6., 2 / 6., 3 / 6.}));
}

TEST(ResampleWeights, GaussianWidth10Has21TapsFallingAsExpOfMinusDSquaredOver10) {
  const ResampleWeights t = BuildWeights(CGaussianFilter(10.0), 60, 60, 1.0);
  const std::vector<double> mid = WeightsOf(t, 30), edge = WeightsOf(t, 0);
  ASSERT_EQ(mid.size(), 21u);
  EXPECT_EQ(t.Taps(30).first, 20);
  ASSERT_EQ(edge.size(), 11u);  // taps 0..10 only
  double midSum = 0, edgeSum = 0;
  for (int d = -10; d <= 10; ++d) {
    EXPECT_NEAR(mid[size_t(d + 10)] / mid[10], std::exp(-d * d / 10.0), 1e-12) << d;
    midSum += mid[size_t(d + 10)];
  }
  for (int d = 0; d <= 10; ++d) {
    // The border sample keeps the interior's shape, scaled up to sum to 1.
    EXPECT_NEAR(edge[size_t(d)] / mid[size_t(d + 10)], edge[0] / mid[10], 1e-12) << d;
    edgeSum += edge[size_t(d)];
  }
  EXPECT_NEAR(midSum, 1.0, 1e-12);
  EXPECT_NEAR(edgeSum, 1.0, 1e-12);
}

TEST(ResampleWeights, WindowOverflowDropsTheFirstTap) {
  // Doubling puts output 3 at input 1.5; with width 1 it would reach inputs
  // 0..3, one more than the window of 3 holds.
  const ResampleWeights t = BuildWeights(BoxFilter(), 8, 4, 2.0);
  EXPECT_EQ(t.Taps(3).first, 1);
  EXPECT_EQ(WeightsOf(t, 3), (std::vector<double>(3, 1 / 3.)));
}

TEST(ResampleWeights, TinyWidthsFallBackToTheDefaultAndWeightlessSpansStayZero) {
  using Scale = C2PassScale<CBilinearFilter, CDataPaintLib32>;
  // Output 1 of a doubling sits half-way between inputs 0 and 1.
  for (double requested : {0.0, -2.0, 0.99e-5}) {
    EXPECT_EQ(WeightsOf(Scale(requested).BuildWeights(4, 2, 2.0), 1),
              (std::vector<double>{0.5, 0.5}));
  }
  // A kept width of 1e-5 reaches neither neighbour: no weight, and no NaN.
  EXPECT_EQ(WeightsOf(Scale(1e-5).BuildWeights(4, 2, 2.0), 1), (std::vector<double>{0, 0}));
}

TEST(ResampleWeights, AbsurdTablesAreRefusedBeforeAllocation) {
  EXPECT_THROW(BuildWeights(CBilinearFilter(1e8), INT32_MAX, INT32_MAX, 1.0, 0, 100000),
               std::bad_alloc);
  // A support beyond the 32-bit range reaches nothing rather than everything.
  const ResampleWeights t = BuildWeights(CBilinearFilter(1e300), 10, 10, 1.0);
  for (int32_t u = 0; u < 10; ++u) EXPECT_EQ(t.Taps(u).count, 0);
}

TEST(CDataPaintLib32, TransparentTapsLendNoColourButTheirAlphaCounts) {
  const double half[] = {0.5, 0.5};
  const uint32_t redAndClear[] = {0xFFFF0000u, 0x00000000u};
  EXPECT_EQ(CDataPaintLib32::Convolve(redAndClear, half, 2), 0x80FF0000u);
  const uint32_t allClear[] = {0x00FFFFFFu, 0x00123456u};
  EXPECT_EQ(CDataPaintLib32::Convolve(allClear, half, 2), 0u);
  // The opaque taps' colour is scaled by 1 / (1 - 0.25).
  const uint32_t mixed[] = {0x00FFFFFFu, 0xFF00FF00u, 0x80000080u};
  const double w[] = {0.25, 0.5, 0.25};
  EXPECT_EQ(CDataPaintLib32::Convolve(mixed, w, 3), 0xA000AA2Bu);
}

TEST(CDataPaintLib32, ChannelsRoundHalfUpAndAreLimitedToAByte) {
  const double half[] = {0.5, 0.5};
  const uint32_t odd[] = {0xFF000001u, 0xFF000002u};
  EXPECT_EQ(CDataPaintLib32::Convolve(odd, half, 2), 0xFF000002u);
  const double over[] = {1.0, 1.0}, under[] = {-1.0};
  const uint32_t white[] = {0xFFFFFFFFu, 0xFFFFFFFFu};
  EXPECT_EQ(CDataPaintLib32::Convolve(white, over, 2), 0xFFFFFFFFu);
  EXPECT_EQ(CDataPaintLib32::Convolve(white, under, 1), 0u);
  // Transparent weight of 1 or more scales the colour by itself.
  const double heavy[] = {2.0, 0.25};
  const uint32_t grey[] = {0x00000000u, 0xFF404040u};
  EXPECT_EQ(CDataPaintLib32::Convolve(grey, heavy, 2), 0x40202020u);
}

TEST(CDataPaintLib16, SumRoundsHalfUpAndKeepsTheLow16Bits) {
  const double half[] = {0.5, 0.5}, twice[] = {2.0};
  const uint16_t pair[] = {100, 101}, big[] = {40000};
  EXPECT_EQ(CDataPaintLib16::Convolve(pair, half, 2), 101);
  EXPECT_EQ(CDataPaintLib16::Convolve(big, twice, 1), uint16_t(80000));
}

// A single-channel plane handed over as row starts, like the height field.
struct Plane {
  Plane(int32_t w, int32_t h, uint16_t v = 0) : width(w), height(h), values(size_t(w * h), v) {
    for (int32_t y = 0; y < h; ++y) rows.push_back(&values[size_t(y * w)]);
  }
  uint16_t& At(int32_t x, int32_t y) { return values[size_t(y * width + x)]; }
  int32_t width, height;
  std::vector<uint16_t> values;
  std::vector<uint16_t*> rows;
};

template <class Filter>
Plane Resampled(const Plane& in, double width, int32_t w, int32_t h) {
  Plane out(w, h, 0xDEAD);
  C2PassScale<Filter, CDataPaintLib16> scaler(width);
  EXPECT_EQ(scaler.Resample(in.rows.data(), in.width, in.height, out.rows.data(), w, h),
            out.rows.data());
  return out;
}

TEST(C2PassScale, ConstantPlanesStayConstantBlurredScaledUpAndDown) {
  const struct {
    int32_t inW, inH, outW, outH;
    double width;
  } cases[] = {{37, 23, 37, 23, 10.0},
               {5, 4, 17, 9, 0.0},
               {40, 30, 7, 3, 0.0},
               {1, 1, 1, 1, 10.0},
               {1, 1, 3, 2, 0.0}};
  for (const auto& c : cases) {
    const Plane out =
        Resampled<CGaussianFilter>(Plane(c.inW, c.inH, 65280), c.width, c.outW, c.outH);
    EXPECT_EQ(out.values, std::vector<uint16_t>(out.values.size(), 65280))
        << c.inW << "->" << c.outW;
  }
}

TEST(C2PassScale, OutputSampleUSitsAtInputUOverScale) {
  Plane ramp3(3, 1), ramp8(8, 1);
  for (int32_t x = 0; x < 3; ++x) ramp3.At(x, 0) = uint16_t(100 * x);
  for (int32_t x = 0; x < 8; ++x) ramp8.At(x, 0) = uint16_t(40 * x);
  // No half-pixel offset: the last outputs of an enlargement repeat the edge.
  // Halving widens the tent to reach 2 inputs out, weighted 1/4, 1/2, 1/4.
  EXPECT_EQ(Resampled<CBilinearFilter>(ramp3, 1.0, 6, 1).values,
            (std::vector<uint16_t>{0, 50, 100, 150, 200, 200}));
  EXPECT_EQ(Resampled<CBilinearFilter>(ramp8, 1.0, 4, 1).values,
            (std::vector<uint16_t>{13, 80, 160, 240}));
}

TEST(C2PassScale, GaussianHeightFieldFallsOffOverTenSamples) {
  Plane raw(64, 64);
  for (int32_t y = 12; y < 52; ++y)
    for (int32_t x = 12; x < 52; ++x) raw.At(x, y) = 65280;
  Plane blurred = Resampled<CGaussianFilter>(raw, 10.0, 64, 64);
  EXPECT_EQ(blurred.At(22, 22), 65280);
  EXPECT_EQ(blurred.At(41, 41), 65280);
  EXPECT_GT(blurred.At(2, 32), 0);  // reaches exactly 10 samples out
  for (int32_t x = 0; x < 22; ++x) EXPECT_LE(blurred.At(x, 32), blurred.At(x + 1, 32)) << x;
  for (int32_t i = 0; i < 64; ++i) {
    for (int32_t edge : {0, 1, 62, 63}) {
      EXPECT_EQ(blurred.At(edge, i), 0);
      EXPECT_EQ(blurred.At(i, edge), 0);
    }
  }
}

TEST(C2PassScale, BadSizesWriteNothingAndAbsurdIntermediatesThrow) {
  Plane in(4, 4, 7), out(4, 4, 9);
  C2PassScale<CGaussianFilter, CDataPaintLib16> scaler;
  EXPECT_EQ(scaler.Resample(in.rows.data(), 0, 4, out.rows.data(), 4, 4), nullptr);
  EXPECT_EQ(scaler.Resample(in.rows.data(), 4, 4, out.rows.data(), 4, -1), nullptr);
  EXPECT_EQ(scaler.ResamplePart(in.rows.data(), 4, 4, out.rows.data(), 4, 4, {2, 0, 5, 4}),
            nullptr);
  EXPECT_EQ(out.values, std::vector<uint16_t>(16, 9));
  // 100000 rows widened to 100000 samples would need 20 GB in between.
  std::vector<const uint16_t*> tall(100000, in.values.data());
  EXPECT_THROW(scaler.Resample(tall.data(), 1, 100000, out.rows.data(), 100000, 1), std::bad_alloc);
}

CDib MakeDib(int32_t w, int32_t h, uint32_t fill) {
  CDib d;
  EXPECT_TRUE(d.Create(w, h));
  d.Fill(fill);
  return d;
}

std::vector<uint32_t> Block(const CDib& d) {
  return std::vector<uint32_t>(d.Pixels(), d.Pixels() + size_t(d.Stride()) * size_t(d.Height()));
}

std::vector<uint32_t> Visible(const CDib& d) {
  std::vector<uint32_t> v;
  for (int32_t y = 0; y < d.Height(); ++y)
    for (int32_t x = 0; x < d.Width(); ++x) v.push_back(d.PixelAt(x, y));
  return v;
}

// Two rounded passes of the 1, 2, 3, 2, 1 tent over a single 255.
uint32_t TentOfPoint(int32_t dx, int32_t dy) {
  const int32_t tent[] = {1, 2, 3, 2, 1};
  if (dx < -2 || dx > 2 || dy < -2 || dy > 2) return 0;
  const int32_t across = (2 * 255 * tent[dx + 2] + 9) / 18;
  return uint32_t((2 * across * tent[dy + 2] + 9) / 18);
}

TEST(CDibStretch, Width3AtEqualSizeSpreadsAPointOverFiveByFive) {
  CDib src = MakeDib(9, 9, 0xFF000000u), dst;
  src.SetPixel(4, 4, 0xFFFFFFFFu);
  src.Stretch(dst, 3.0);
  ASSERT_EQ(dst.Width(), 9);
  for (int32_t y = 0; y < 9; ++y) {
    for (int32_t x = 0; x < 9; ++x) {
      const uint32_t v = TentOfPoint(x - 4, y - 4);
      EXPECT_EQ(dst.PixelAt(x, y), MakePixel(255, v, v, v)) << x << "," << y;
    }
  }
  src.Stretch(src, 3.0);  // in place: the input is read before anything is written
  EXPECT_EQ(Visible(src), Visible(dst));
}

TEST(CDibStretch, DefaultWidthAtEqualSizeKeepsEveryAlphaLevelAndDropsClearColour) {
  CDib src = MakeDib(16, 16, 0), dst = MakeDib(16, 16, 0xFFABCDEFu);
  for (uint32_t i = 0; i < 256; ++i)
    src.SetPixel(int32_t(i % 16), int32_t(i / 16), (i << 24) | (i * 0x9E3779u & 0xFFFFFFu));
  src.Stretch(dst, 0.0);
  for (int32_t y = 0; y < 16; ++y) {
    for (int32_t x = 0; x < 16; ++x) {
      const uint32_t p = src.PixelAt(x, y);
      EXPECT_EQ(dst.PixelAt(x, y), PixelAlpha(p) == 0 ? 0u : p) << x << "," << y;
    }
  }
}

TEST(CDibStretch, TransparentNeighboursLendNoColour) {
  CDib src = MakeDib(7, 7, 0x00FFFFFFu), dst;
  src.SetPixel(3, 3, 0xFFFF0000u);
  src.Stretch(dst, 3.0);
  int32_t reached = 0;
  for (int32_t y = 0; y < 7; ++y) {
    for (int32_t x = 0; x < 7; ++x) {
      const uint32_t p = dst.PixelAt(x, y);
      if (PixelAlpha(p) == 0) continue;
      ++reached;
      EXPECT_EQ(PixelColour(p), 0xFF0000u) << x << "," << y;
    }
  }
  EXPECT_EQ(reached, 25);
}

TEST(CDibStretch, ConstantImagesStayConstantAtEveryAlphaLevel) {
  for (uint32_t a = 0; a < 256; ++a) {
    const uint32_t colour = (a << 24) | 0x3C8AF0u;
    const CDib src = MakeDib(6, 5, colour);
    for (const auto& size : {std::pair<int32_t, int32_t>{6, 5}, {11, 7}, {2, 2}}) {
      CDib dst = MakeDib(size.first, size.second, 0xFF000000u);
      src.Stretch(dst, a % 2 ? 3.0 : 0.0);
      for (int32_t y = 0; y < size.second; ++y)
        for (int32_t x = 0; x < size.first; ++x) ASSERT_EQ(dst.PixelAt(x, y), a ? colour : 0u) << a;
    }
  }
}

TEST(CDibStretch, EmptyDestinationIsCreatedAtTheSourceSizeAndOneByOneWorks) {
  const CDib one = MakeDib(1, 1, 0xFF123456u);
  CDib copy, big = MakeDib(5, 4, 0);
  one.Stretch(copy, 0.0);
  EXPECT_EQ(copy.Width(), 1);
  EXPECT_EQ(copy.Height(), 1);
  EXPECT_EQ(copy.PixelAt(0, 0), 0xFF123456u);
  one.Stretch(big, 1.0);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(big.Pixels()[y * 8 + x], x < 5 ? 0xFF123456u : 0u);
  }
}

// Opaque and translucent pixels of varied colour, transparent ones among them.
CDib Pattern(int32_t w, int32_t h) {
  CDib d = MakeDib(w, h, 0);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t hash = (uint32_t(x) * 0x9E3779B1u) ^ (uint32_t(y) * 0x85EBCA77u);
      d.SetPixel(x, y, (x + 2 * y) % 5 == 0 ? 0x00FFFFFFu : hash | 0x20000000u);
    }
  }
  return d;
}

TEST(CDibStretch, RectanglesPartlyOutsideWriteOnlyTheirVisiblePart) {
  const CDib src = Pattern(6, 5);
  CDib whole = MakeDib(10, 8, 0);
  src.Stretch(whole, 0.0, {0, 0, 10, 8});
  const uint32_t kBefore = 0xFF010203u;
  for (const DibRect r : {DibRect{-3, -2, 7, 6}, DibRect{2, 1, 12, 9}}) {
    CDib dst = MakeDib(5, 5, kBefore);  // stride 8: the padding must stay untouched too
    src.Stretch(dst, 0.0, r);
    for (int32_t y = 0; y < 5; ++y) {
      for (int32_t x = 0; x < 8; ++x) {
        const bool inside = x < 5 && x >= r.left && x < r.right && y >= r.top && y < r.bottom;
        EXPECT_EQ(dst.Pixels()[y * 8 + x], inside ? whole.PixelAt(x - r.left, y - r.top) : kBefore)
            << r.left << ": " << x << "," << y;
      }
    }
  }
}

TEST(CDibStretch, DegenerateOrEnormousRectanglesAndWidthsStayInBounds) {
  const uint32_t kBefore = 0xFF010203u, kColour = 0xC0305070u;
  const CDib flat = MakeDib(6, 5, kColour);
  for (const DibRect r : {DibRect{10, 10, 20, 20}, DibRect{3, 3, 3, 8}, DibRect{5, 5, 2, 2},
                          DibRect{INT32_MIN, 0, INT32_MAX, 5}}) {
    CDib dst = MakeDib(5, 5, kBefore);
    flat.Stretch(dst, 0.0, r);
    EXPECT_EQ(Block(dst), std::vector<uint32_t>(8 * 5, kBefore)) << r.left;
  }
  CDib dst = MakeDib(5, 5, kBefore);
  flat.Stretch(dst, 0.0, {-1000000000, -1000000000, 1000000000, 1000000000});
  for (int32_t i = 0; i < 40; ++i) EXPECT_EQ(dst.Pixels()[i], i % 8 < 5 ? kColour : kBefore) << i;
  // Huge widths average everything; a support beyond 32 bits reaches nothing.
  flat.Stretch(dst, 1e6);
  EXPECT_EQ(dst.PixelAt(4, 4), kColour);
  for (double width : {1e300, std::nan("")}) {
    flat.Stretch(dst, width);
    EXPECT_EQ(dst.PixelAt(2, 2), 0u) << width;
  }
}

}  // namespace
}  // namespace tessaro
