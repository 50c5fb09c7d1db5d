#include "render/quad_filler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "image/pixel.h"
#include "scene/scene3d.h"
#include "support/render_test_support.h"

namespace tessaro {
namespace {

using testing_support::QuadBench;
using testing_support::TestRandom;

constexpr uint32_t kInk = 0xFF3060C0u;

// A 32 x 24 target (stride 36) and a one-texel opaque texture: every painted
// pixel is kInk, so the painted set is plain to see.
class FillerShape : public ::testing::Test {
 protected:
  FillerShape() : bench(32, 24, 36, 1, 1, {kInk}) {}

  struct Xy {
    int32_t x, y;
  };
  void FillCorners(std::vector<Xy> corners, double depth = 8) {
    for (int k = 0; k < 4; ++k) bench.SetCorner(k, corners[k].x, corners[k].y, depth, 0, 0);
    bench.Fill();
    ASSERT_TRUE(bench.Intact());
  }
  // Row by row, '#' for kInk and '.' for untouched background.
  std::vector<std::string> Mask() const {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < 24; ++y) {
      std::string row;
      for (int32_t x = 0; x < 32; ++x) row += bench.At(x, y) == kInk ? '#' : bench.At(x, y) == 0 ? '.' : '?';
      rows.push_back(row);
    }
    return rows;
  }
  static std::vector<std::string> RectMask(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    std::vector<std::string> rows(24, std::string(32, '.'));
    for (int32_t y = std::max(y0, 0); y <= std::min(y1, 23); ++y)
      for (int32_t x = std::max(x0, 0); x <= std::min(x1, 31); ++x) rows[y][x] = '#';
    return rows;
  }

  QuadBench bench;
};

TEST_F(FillerShape, ClockwiseSquarePaintsBothEdgeRowsAndColumnsReverseOrderNothing) {
  FillCorners({{2, 3}, {12, 3}, {12, 13}, {2, 13}});
  EXPECT_EQ(Mask(), RectMask(2, 3, 12, 13));
  bench.Clear();
  FillCorners({{2, 13}, {12, 13}, {12, 3}, {2, 3}});
  EXPECT_EQ(Mask(), RectMask(0, 0, -1, -1));
}

TEST_F(FillerShape, DiamondLeavesItsTipRowsEmpty) {
  FillCorners({{10, 0}, {20, 10}, {10, 20}, {0, 10}});
  std::vector<std::string> expected = RectMask(0, 0, -1, -1);
  for (int32_t y = 1; y <= 19; ++y) {
    const int32_t half = 10 - std::abs(y - 10);
    for (int32_t x = 10 - half; x <= 10 + half; ++x) expected[y][x] = '#';
  }
  EXPECT_EQ(Mask(), expected);
}

TEST_F(FillerShape, DegenerateQuadsPaintNothing) {
  FillCorners({{2, 5}, {8, 5}, {14, 5}, {20, 5}});  // one row
  FillCorners({{2, 5}, {2, 5}, {2, 5}, {2, 5}});    // one point
  FillCorners({{4, 2}, {4, 9}, {4, 15}, {4, 20}});  // one column: spans of equal ends
  EXPECT_EQ(Mask(), RectMask(0, 0, -1, -1));
}

TEST_F(FillerShape, QuadsWhollyOutsideTheTargetPaintNothing) {
  FillCorners({{-30, 2}, {-10, 2}, {-10, 9}, {-30, 9}});
  FillCorners({{32, 2}, {50, 2}, {50, 9}, {32, 9}});
  FillCorners({{2, -20}, {12, -20}, {12, -1}, {2, -1}});
  FillCorners({{2, 24}, {12, 24}, {12, 40}, {2, 40}});
  EXPECT_EQ(Mask(), RectMask(0, 0, -1, -1));
}

TEST_F(FillerShape, QuadsOverTheBordersAreClippedToTheTarget) {
  FillCorners({{-9, -7}, {40, -7}, {40, 30}, {-9, 30}});
  EXPECT_EQ(Mask(), RectMask(0, 0, 31, 23));
}

TEST_F(FillerShape, NearLimitEndsTheRowAtTheFirstPixelCloserThanFiveAndAHalf) {
  // Exactly 5.5 is still drawn (5.5 + 0.5 truncates to 6); just below is not.
  FillCorners({{2, 3}, {12, 3}, {12, 5}, {2, 5}}, 5.5);
  EXPECT_EQ(Mask(), RectMask(2, 3, 12, 5));
  bench.Clear();
  FillCorners({{2, 3}, {12, 3}, {12, 5}, {2, 5}}, 5.4999);
  EXPECT_EQ(Mask(), RectMask(0, 0, -1, -1));

  // Depth 8 on the left, 4 on the right, 16 columns: w = 1/8 + c/128 at column
  // c.  Column 7 is at depth 5.57 (drawn), column 8 at 5.33 (stops the row).
  bench.Clear();
  bench.SetCorner(0, 0, 2, 8, 0, 0);
  bench.SetCorner(1, 16, 2, 4, 0, 0);
  bench.SetCorner(2, 16, 5, 4, 0, 0);
  bench.SetCorner(3, 0, 5, 8, 0, 0);
  bench.Fill();
  EXPECT_EQ(Mask(), RectMask(0, 2, 7, 5));
  // Near side first: the row is abandoned at its first pixel.
  bench.Clear();
  bench.SetCorner(0, 0, 2, 4, 0, 0);
  bench.SetCorner(1, 16, 2, 8, 0, 0);
  bench.SetCorner(2, 16, 5, 8, 0, 0);
  bench.SetCorner(3, 0, 5, 4, 0, 0);
  bench.Fill();
  EXPECT_EQ(Mask(), RectMask(0, 0, -1, -1));
}

// A generic textured quad in perspective: the same cyclic corner order gives
// the same pixels whichever corner the list starts with.
TEST(Filler, EveryRotationOfTheCornerListPaintsTheSameImage) {
  TestRandom random(11);
  std::vector<uint32_t> texels(16);
  for (uint32_t& t : texels) t = random.Next32() | 0x40000000u;
  struct CornerData {
    int32_t x, y;
    double depth, s, t;
  };
  const std::vector<std::vector<CornerData>> quads = {
      {{3, 2, 10, 0, 0}, {28, 4, 14, 1, 0}, {25, 21, 20, 1, 1}, {1, 17, 12, 0, 1}},
      // Square: two corners share the top row.
      {{4, 4, 9, 0, 0}, {24, 4, 9, 1, 0}, {24, 20, 30, 1, 1}, {4, 20, 30, 0, 1}},
      // Top and bottom corners on the border rows, partly outside.
      {{15, -3, 7, 0.5, 0}, {35, 10, 9, 1, 0.5}, {15, 30, 11, 0.5, 1}, {-6, 10, 9, 0, 0.5}},
  };
  for (const auto& quad : quads) {
    std::vector<uint32_t> first;
    for (int start = 0; start < 4; ++start) {
      QuadBench bench(32, 24, 32, 4, 4, texels);
      for (int k = 0; k < 4; ++k) {
        const CornerData& c = quad[(start + k) % 4];
        bench.SetCorner(k, c.x, c.y, c.depth, c.s, c.t);
      }
      bench.Fill();
      std::vector<uint32_t> image(bench.buffer.Pixels(), bench.buffer.Pixels() + bench.buffer.Size());
      ASSERT_GT(std::count_if(image.begin(), image.end(), [](uint32_t p) { return p != 0; }), 100);
      if (start == 0) {
        first = image;
      } else {
        EXPECT_EQ(image, first) << "start " << start;
      }
    }
  }
}

// Exact texel placement.  Depth 8 everywhere makes w = 1/8 and every step a
// sum of exact binary fractions; a quad 16 columns wide over a 17-texel row
// then shows texel i at column x0 + i, however it is clipped.
class FillerTexture : public ::testing::Test {
 protected:
  static uint32_t Texel(int32_t i) { return 0xFF000000u | uint32_t(i * 0x0F0B07 + 0x102030); }
  static std::vector<uint32_t> Row() {
    std::vector<uint32_t> row;
    for (int32_t i = 0; i < 17; ++i) row.push_back(Texel(i));
    return row;
  }

  void CheckStrip(int32_t x0, int32_t y0, int32_t y1) {
    QuadBench bench(32, 24, 36, 17, 1, Row());
    bench.SetCorner(0, x0, y0, 8, 0, 0);
    bench.SetCorner(1, x0 + 16, y0, 8, 1, 0);
    bench.SetCorner(2, x0 + 16, y1, 8, 1, 1);
    bench.SetCorner(3, x0, y1, 8, 0, 1);
    bench.Fill();
    ASSERT_TRUE(bench.Intact());
    for (int32_t y = 0; y < 24; ++y) {
      for (int32_t x = 0; x < 32; ++x) {
        const bool inside = x >= x0 && x <= x0 + 16 && y >= y0 && y <= y1;
        ASSERT_EQ(bench.At(x, y), inside ? Texel(x - x0) : 0u)
            << "strip at " << x0 << "," << y0 << " pixel " << x << "," << y;
      }
    }
  }
};

TEST_F(FillerTexture, ClippedQuadsKeepTheTextureOfTheirVisibleColumnsAndRows) {
  CheckStrip(4, 3, 10);    // whole
  CheckStrip(-5, 3, 10);   // past the left border: column 0 shows texel 5
  CheckStrip(-16, 3, 10);  // only its last column is visible
  CheckStrip(20, 3, 10);   // past the right border
  CheckStrip(4, -6, 5);    // walked from above, painted from row 0
  CheckStrip(4, 15, 40);   // stops after the last row
}

TEST(Filler, CoordinatesOutsideTheTextureRepeatTheBorderTexels) {
  // 4 x 4 texels; s and t run from -1 to 2 over 9 pixels, so pixel i of a row
  // or column samples texel i - 3 exactly, pinned to 0..3.
  std::vector<uint32_t> texels;
  for (uint32_t i = 0; i < 16; ++i) texels.push_back(0xFF000000u | (i * 0x110000u) | (i * 0x0D0Bu));
  QuadBench bench(24, 24, 24, 4, 4, texels);
  bench.SetCorner(0, 5, 5, 8, -1, -1);
  bench.SetCorner(1, 14, 5, 8, 2, -1);
  bench.SetCorner(2, 14, 14, 8, 2, 2);
  bench.SetCorner(3, 5, 14, 8, -1, 2);
  bench.Fill();
  for (int32_t j = 0; j <= 9; ++j) {
    for (int32_t i = 0; i <= 9; ++i) {
      const int32_t col = std::clamp(i - 3, 0, 3), row = std::clamp(j - 3, 0, 3);
      ASSERT_EQ(bench.At(5 + i, 5 + j), texels[size_t(row * 4 + col)]) << i << "," << j;
    }
  }
}

TEST(Filler, TexelsAreCompositedOverTheTarget) {
  struct Case {
    uint32_t background, texel, expected;
  };
  const Case cases[] = {
      {0xFF112233u, 0xFF445566u, 0xFF445566u},  // opaque replaces
      {0xFF112233u, 0x00FF0000u, 0xFF112233u},  // transparent leaves
      {0x00000000u, 0x80FF0000u, 0x80FF0000u},  // over nothing: the texel itself
      // 128 over opaque blue: red 255 * 128 / 255, blue keeps 127 / 255.
      {0xFF0000FFu, 0x80FF0000u, 0xFF80007Fu},
  };
  for (const Case& c : cases) {
    QuadBench bench(8, 8, 8, 1, 1, {c.texel});
    bench.scene.backgroundColour = c.background;
    bench.Clear();
    bench.SetCorner(0, 1, 1, 8, 0, 0);
    bench.SetCorner(1, 5, 1, 8, 0, 0);
    bench.SetCorner(2, 5, 5, 8, 0, 0);
    bench.SetCorner(3, 1, 5, 8, 0, 0);
    bench.Fill();
    EXPECT_EQ(bench.At(3, 3), c.expected) << std::hex << c.texel << " over " << c.background;
    EXPECT_EQ(bench.At(0, 0), c.background);
  }
}

TEST(Filler, BadIndicesRaiseTheInvalidIndexError) {
  QuadBench bench(8, 8, 8, 1, 1, {kInk});
  EXPECT_THROW(bench.scene.FillPerspectiveQuad(0, CRect3D{0, 1, 2, 4}), InvalidIndexError);
  EXPECT_THROW(bench.scene.FillPerspectiveQuad(0, CRect3D{-1, 1, 2, 3}), InvalidIndexError);
  EXPECT_THROW(bench.scene.FillPerspectiveQuad(1, CRect3D{0, 1, 2, 3}), InvalidIndexError);
  bench.scene.Object(0).textureIndex = 1;
  EXPECT_THROW(bench.scene.FillPerspectiveQuad(0, CRect3D{0, 1, 2, 3}), InvalidIndexError);
  EXPECT_THROW(bench.scene.DrawPerspectiveSpan(0, 5, 1, 1, 0, 0, 0, 0, 2, 1), InvalidIndexError);
}

TEST(DrawPerspectiveSpan, OrdersItsEndsAndSkipsEqualOrNarrowSpans) {
  QuadBench bench(16, 4, 16, 1, 1, {kInk});
  CScene3D& scene = bench.scene;
  const double w = 0.125;
  scene.DrawPerspectiveSpan(9.4, 2.6, w, w, 0, 0, 0, 0, 1, 0);  // ends swapped: columns 3..9
  for (int32_t x = 0; x < 16; ++x) EXPECT_EQ(bench.At(x, 1), x >= 3 && x <= 9 ? kInk : 0u) << x;
  scene.DrawPerspectiveSpan(4.5, 5.4, w, w, 0, 0, 0, 0, 2, 0);  // both round to column 5
  scene.DrawPerspectiveSpan(-20, 40, w, w, 0, 0, 0, 0, -1, 0);  // rows outside
  scene.DrawPerspectiveSpan(-20, 40, w, w, 0, 0, 0, 0, 4, 0);
  for (int32_t x = 0; x < 16; ++x) {
    EXPECT_EQ(bench.At(x, 2), 0u);
    EXPECT_EQ(bench.At(x, 0), 0u);
    EXPECT_EQ(bench.At(x, 3), 0u);
  }
  EXPECT_TRUE(bench.Intact());
}

TEST(LerpPixel, TransparentNeighbourAddsNoColour) {
  const uint32_t clear = 0x00000000u, red = 0xFFFF0000u;
  EXPECT_EQ(LerpPixel(clear, red, 0.5), 0x80FF0000u);
  EXPECT_EQ(LerpPixel(red, clear, 0.5), 0x80FF0000u);
  EXPECT_EQ(LerpPixel(0x00123456u, 0x00654321u, 0.5), 0x00654321u);  // both clear: b's colour
}

TEST(LerpPixel, ColourWeightLeansTowardsTheMoreOpaquePixel) {
  // Equal alphas: the plain mix, 0.5 added before truncation.
  EXPECT_EQ(LerpPixel(0xFFC86400u, 0xFF6432FFu, 0.5), 0xFF964B80u);
  EXPECT_EQ(LerpPixel(0xFFC86400u, 0xFF6432FFu, 1.0), 0xFFC86400u);
  EXPECT_EQ(LerpPixel(0xFFC86400u, 0xFF6432FFu, 0.0), 0xFF6432FFu);
  // a opaque (red 200), b at alpha 51 (red 100), k = 0.5: alpha 153;
  // k' = 0.5 + 0.5 * 204 / 255 = 0.9, red 100 * 0.1 + 200 * 0.9 = 190.
  EXPECT_EQ(LerpPixel(0xFFC80000u, 0x33640000u, 0.5), 0x99BE0000u);
  // The other way round k' = 0.5 - 0.5 * 204 / 255 = 0.1: red 110.
  EXPECT_EQ(LerpPixel(0x33C80000u, 0xFF640000u, 0.5), 0x996E0000u);
  // Even at k = 1 a more opaque b pulls the colour: k' = 1 - 204 / 255 = 0.2.
  EXPECT_EQ(LerpPixel(0x33C80000u, 0xFF640000u, 1.0), 0x33780000u);
}

TEST(LerpPixel, WeightsOutsideZeroToOneStayInsideTheChannels) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(LerpPixel(0xFFFFFFFFu, 0xFF000000u, nan), 0x00000000u);
  EXPECT_EQ(LerpPixel(0xFFFFFFFFu, 0x80000000u, 4.0), 0xFFFFFFFFu);
  EXPECT_EQ(LerpPixel(0x80FFFFFFu, 0xFF000000u, -4.0), 0xFF000000u);
}

TEST(SampleBilinear, MixesTheFourNeighboursRowsFirst) {
  // Opaque 2 x 2: black, red 200 / green 100, blue 255.
  const uint32_t texels[] = {0xFF000000u, 0xFFC80000u, 0xFF006400u, 0xFF0000FFu};
  const CTexture3D t(2, 2, texels, 2);
  // upper = (100, 0, 0), lower = (0, 50, 128), then halfway: (50, 25, 64).
  EXPECT_EQ(SampleBilinear(t, 0.5, 0.5), 0xFF321940u);
  EXPECT_EQ(SampleBilinear(t, 0.25, 0), 0xFF320000u);
  // The last column and row have no right or lower neighbour: no wrap.
  EXPECT_EQ(SampleBilinear(t, 1, 1), 0xFF0000FFu);
  EXPECT_EQ(SampleBilinear(t, 1, 0.5), 0xFF640080u);
}

TEST(SampleBilinear, AnyCoordinateIsPinnedToTheTexture) {
  const uint32_t texels[] = {0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u};
  const CTexture3D t(2, 2, texels, 2);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(SampleBilinear(t, nan, nan), texels[0]);
  EXPECT_EQ(SampleBilinear(t, inf, -inf), texels[1]);
  EXPECT_EQ(SampleBilinear(t, -1e300, 1e300), texels[2]);
  EXPECT_EQ(SampleBilinear(t, 5e9, 5e9), texels[3]);
  const uint32_t single = 0x80FF8040u;
  EXPECT_EQ(SampleBilinear(CTexture3D(1, 1, &single, 1), 0.7, nan), single);
}

// Golden images through the whole chain (pose, projection, walk, sampling).
// Object size 12 at perspective 0 puts the face at depth 500 + 12 = 512, so
// w = 1/512 and every interpolated value is an exact binary fraction; the
// images below therefore follow from the texture by hand.
class GoldenImage : public ::testing::Test {
 protected:
  // The face of a w x h source as the effect builds it, at centre (cx, cy).
  void BuildFace(int32_t w, int32_t h, const std::vector<uint32_t>& texels, double cx, double cy) {
    scene.Init(16, 16, buffer.data(), 16, nullptr);
    scene.AddTexture(w, h, texels.data(), w);
    scene.AddObject();
    scene.AddObject();  // the slices: none here
    scene.objectSize = 12;
    scene.centreX = cx;
    scene.centreY = cy;
    const double hw = w / 2.0, hh = h / 2.0;
    const double corners[4][4] = {
        {-hw, hh - 1, 0, 1}, {hw - 1, hh - 1, 1, 1}, {hw - 1, -hh, 1, 0}, {-hw, -hh, 0, 0}};
    for (const auto& c : corners) {
      CNode3D n;
      n.x = c[0];
      n.y = c[1];
      n.s = c[2];
      n.t = c[3];
      scene.AddNode(0, n);
    }
    scene.AddQuad(0, 3, 2, 1, 0);
  }
  // Expected: the block at (x0, y0), background 0 everywhere else.
  void ExpectImage(int32_t x0, int32_t y0, int32_t w, int32_t h, const std::vector<uint32_t>& block) {
    for (int32_t y = 0; y < 16; ++y) {
      for (int32_t x = 0; x < 16; ++x) {
        const bool inside = x >= x0 && x < x0 + w && y >= y0 && y < y0 + h;
        const uint32_t want = inside ? block[size_t((y - y0) * w + (x - x0))] : 0u;
        EXPECT_EQ(buffer[size_t(y * 16 + x)], want) << std::hex << "pixel " << std::dec << x << "," << y;
      }
    }
  }
  std::vector<uint32_t> buffer = std::vector<uint32_t>(256);
  CScene3D scene;
};

TEST_F(GoldenImage, UnrotatedFaceAtZoom100IsTheTextureItself) {
  // A 5 x 4 source centred at (10.5, 10.5): corners at x -2.5 and 1.5, y -2 and
  // 1 land on columns 8..12 and rows 9..12.  Each column steps u by exactly w,
  // so column 8 + i samples texel column i with weight 1: the texture verbatim.
  TestRandom random(3);
  std::vector<uint32_t> texels(20);
  for (uint32_t& t : texels) t = random.Next32() | 0xFF000000u;
  BuildFace(5, 4, texels, 10.5, 10.5);
  scene.PoseCamera(0, 0, 0, 100);
  scene.Render();
  ExpectImage(8, 9, 5, 4, texels);
}

TEST_F(GoldenImage, UnrotatedFaceAtZoom200InterpolatesHalfwayBetweenTexels) {
  // 3 x 2 opaque source:  A B C  /  D E F.  At zoom 200 (scale 1024, f = 2)
  // the corners land on columns 2 and 6, rows 1 and 3, and the samples fall on
  // texel positions 0, 0.5, 1, 1.5, 2 across and 0, 0.5, 1 down.  A halfway
  // mix is trunc(a / 2 + b / 2 + 0.5) per channel, done across first, then down:
  //   A+B = (0x10+0x30, 0x20+0x60, 0x30+0x90) / 2 = 20 40 60
  //   B+C = (0x30+0xF0, 0x60+0x00, 0x90+0x10) / 2 = 90 30 50
  //   D+E = 10 20 40,  E+F = (0x20+0xFF)/2 + 0.5 = 0x90, A0, C0
  //   middle row: A+D = 08 10 18, (A+B)+(D+E) = 18 30 50, B+E = 28 50 88,
  //               (B+C)+(E+F) = 90 68 88, C+F = F8 80 88
  const uint32_t A = 0xFF102030u, B = 0xFF306090u, C = 0xFFF00010u;
  const uint32_t D = 0xFF000000u, E = 0xFF204080u, F = 0xFFFFFFFFu;
  BuildFace(3, 2, {A, B, C, D, E, F}, 4.5, 2.5);
  scene.PoseCamera(0, 0, 0, 200);
  scene.Render();
  ExpectImage(2, 1, 5, 3,
              {A, 0xFF204060u, B, 0xFF903050u, C,                                  //
               0xFF081018u, 0xFF183050u, 0xFF285088u, 0xFF906888u, 0xFFF88088u,  //
               D, 0xFF102040u, E, 0xFF90A0C0u, F});
}

}  // namespace
}  // namespace tessaro
