#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "image/pixel.h"
#include "scene/relief_workspace.h"

namespace tessaro {
namespace {

// Whole-image host buffers with 4 planes (or 3) and an optional mask.
struct Pixels {
  int32_t w, h, planes;
  std::vector<uint8_t> in, out, mask;
  Pixels(int32_t width, int32_t height, int32_t p = 4, bool withMask = false)
      : w(width), h(height), planes(p), in(size_t(width) * height * p, 0),
        out(in.size(), 0), mask(withMask ? size_t(width) * height : 0, 0) {}
  uint8_t* At(int x, int y) { return &in[(size_t(y) * w + x) * planes]; }
  void Fill(int x0, int y0, int x1, int y1, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        uint8_t* p = At(x, y);
        p[0] = r;
        p[1] = g;
        p[2] = b;
        if (planes == 4) p[3] = a;
      }
  }
  HostPixels View() {
    HostPixels v;
    v.width = w;
    v.height = h;
    v.planes = planes;
    v.in = in.data();
    v.inRowBytes = int64_t(w) * planes;
    v.out = out.data();
    v.outRowBytes = v.inRowBytes;
    if (!mask.empty()) {
      v.mask = mask.data();
      v.maskRowBytes = w;
    }
    return v;
  }
};

ObjectBounds Bounds(int32_t imageW, int32_t imageH, int32_t l, int32_t t, int32_t r, int32_t b) {
  ObjectBounds o;
  o.imageWidth = imageW;
  o.imageHeight = imageH;
  o.left = l;
  o.top = t;
  o.right = r;
  o.bottom = b;
  return o;
}

TEST(ReliefSceneTest, FrontFaceOfATenBySixBoxCoversExactlyItsPixels) {
  Pixels px(60, 50);
  px.Fill(20, 30, 29, 35, 200, 100, 50, 255);
  ReliefWorkspace ws;
  ws.PrepareScene(px.View(), Bounds(60, 50, 20, 30, 29, 35));
  ws.BuildSliceStack(0, 0);
  CScene3D& scene = ws.Scene();
  EXPECT_DOUBLE_EQ(scene.centreX, 24.5);
  EXPECT_DOUBLE_EQ(scene.centreY, 32.5);
  EXPECT_DOUBLE_EQ(scene.objectSize, 10);
  const auto& nodes = scene.Object(0).nodes;
  ASSERT_EQ(nodes.Count(), 4);
  const double expected[4][2] = {{-5, 2}, {4, 2}, {4, -3}, {-5, -3}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(nodes.At(i).x, expected[i][0]) << i;
    EXPECT_DOUBLE_EQ(nodes.At(i).y, expected[i][1]) << i;
    EXPECT_DOUBLE_EQ(nodes.At(i).z, 0) << i;
  }
  EXPECT_EQ(scene.Object(1).nodes.Count(), 0) << "depth 0: no slices";

  EffectSettings view;
  view.angleX = view.angleY = 0;
  view.zoom = 100;
  view.lighting = false;
  ws.BuildSideTexture(view);
  ws.Render(view, nullptr);
  const CDib& target = ws.RenderTarget();
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 60; ++x) {
      const bool inside = x >= 20 && x <= 29 && y >= 30 && y <= 35;
      EXPECT_EQ(PixelAlpha(target.PixelAt(x, y)) != 0, inside) << x << "," << y;
    }
  EXPECT_EQ(target.PixelAt(20, 30), 0xFFC86432u);
}

TEST(ReliefSceneTest, SliceCountsAndRoundFactors) {
  Pixels px(30, 30);
  px.Fill(5, 5, 24, 24, 1, 2, 3, 255);
  ReliefWorkspace ws;
  ws.PrepareScene(px.View(), Bounds(30, 30, 3, 3, 26, 26));
  ws.BuildSliceStack(1, 100);
  CScene3D& scene = ws.Scene();
  ASSERT_EQ(scene.Object(1).quads.Count(), 1);
  EXPECT_DOUBLE_EQ(scene.Object(1).nodes.At(0).z, 0.5);
  EXPECT_DOUBLE_EQ(scene.Object(1).nodes.At(0).x, -12 * 1.25);
  EXPECT_EQ(scene.Object(1).textureIndex, 1);
  EXPECT_EQ(scene.Object(0).textureIndex, 0);

  ws.BuildSliceStack(100, 0);
  ASSERT_EQ(scene.Object(1).quads.Count(), 199);
  EXPECT_DOUBLE_EQ(scene.Object(1).nodes.At(4 * 198).z, 99.5);
  EXPECT_EQ(scene.Object(0).quads.Count(), 1) << "rebuilding keeps one front face";

  ws.BuildSliceStack(2, -100);
  ASSERT_EQ(scene.Object(1).quads.Count(), 3);
  const double pi = 3.141592653589793;
  const double factors[3] = {1 - 0.25 * std::sin(pi / 4), 0.75, 1 - 0.25 * std::sin(3 * pi / 4)};
  for (int i = 0; i < 3; ++i) {
    EXPECT_DOUBLE_EQ(scene.Object(1).nodes.At(4 * i).z, 0.5 * (i + 1));
    EXPECT_NEAR(scene.Object(1).nodes.At(4 * i + 1).x, 11 * factors[i], 1e-12) << i;
  }
}

TEST(ReliefSceneTest, HeightFieldAndSourceAlpha) {
  Pixels px(40, 40, 4, true);
  px.Fill(0, 0, 39, 39, 9, 9, 9, 255);
  for (auto& m : px.mask) m = 128;
  ReliefWorkspace ws;
  ws.PrepareScene(px.View(), Bounds(40, 40, 5, 5, 34, 34));
  EXPECT_EQ(PixelAlpha(ws.Scene().Texture(0).Texel(0, 0)), 128u) << "the selection weights the layer";
  const HeightField& raw = ws.RawHeights();
  EXPECT_EQ(raw.width, 50);
  EXPECT_EQ(raw.At(0, 0), 128 * 256);
  EXPECT_EQ(raw.At(-1, 0), 0);
  EXPECT_EQ(raw.At(-10, -10), 0);

  Pixels opaque(40, 40);
  opaque.Fill(0, 0, 39, 39, 9, 9, 9, 255);
  ws.PrepareScene(opaque.View(), Bounds(40, 40, 0, 0, 39, 39));
  const HeightField& blurred = ws.BlurredHeights();
  EXPECT_EQ(blurred.At(20, 20), 65280) << "inside, far from the outline, the height stays";
  // Across the outline the height falls steadily towards the border.
  for (int x = -9; x < 10; ++x) EXPECT_GE(blurred.At(x, 20), blurred.At(x - 1, 20)) << x;
  EXPECT_GT(blurred.At(-5, 20), 0);
  EXPECT_LT(blurred.At(0, 20), 65280);
}

// Every kind of host buffer (transparency or none, selection or none), read
// in bands on the worker threads: each texel and raw height is the host
// pixel's colour and coverage, and the border stays empty.
TEST(ReliefSceneTest, PictureAndRawHeightsFollowEveryKindOfHostBuffer) {
  for (const int32_t planes : {3, 4}) {
    for (const bool withMask : {false, true}) {
      Pixels px(700, 420, planes, withMask);
      uint32_t seed = 12345;
      for (auto& v : px.in) v = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
      for (auto& m : px.mask) m = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
      const HostPixels view = px.View();
      const ObjectBounds b = Bounds(700, 420, 3, 2, 690, 411);
      ReliefWorkspace ws;
      ws.PrepareScene(view, b);
      const CTexture3D& picture = ws.Scene().Texture(0);
      const HeightField& raw = ws.RawHeights();
      ASSERT_EQ(picture.Width(), b.width());
      int64_t wrong = 0;
      for (int32_t y = 0; y < b.height(); ++y) {
        for (int32_t x = 0; x < b.width(); ++x) {
          const uint8_t* p = view.In(b.left + x, b.top + y);
          const uint32_t coverage = view.Coverage(b.left + x, b.top + y);
          wrong += picture.Texel(x, y) != MakePixel(coverage, p[0], p[1], p[2]);
          wrong += raw.At(x, y) != coverage * 256;
        }
      }
      for (int32_t x = -HeightField::kBorder; x < b.width() + HeightField::kBorder; ++x)
        wrong += raw.At(x, -1) + raw.At(x, b.height()) != 0;
      EXPECT_EQ(wrong, 0) << planes << " planes, mask " << withMask;
    }
  }
}

class SideTextureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    px_.Fill(10, 10, 29, 29, 128, 128, 128, 255);
    ws_.PrepareScene(px_.View(), Bounds(40, 40, 8, 8, 31, 31));
    ws_.BuildSliceStack(5, 0);
  }
  std::vector<uint32_t> Texture(int index) {
    const CTexture3D& t = ws_.Scene().Texture(index);
    return std::vector<uint32_t>(t.Pixels(), t.Pixels() + size_t(t.Width()) * t.Height());
  }
  Pixels px_{40, 40};
  ReliefWorkspace ws_;
};

TEST_F(SideTextureTest, NothingOnGivesTheSourceItself) {
  EffectSettings s;
  s.lighting = false;
  s.colorOverlay = false;
  s.smoothDepth = false;
  ws_.BuildSideTexture(s);
  ASSERT_EQ(ws_.Scene().TextureCount(), 2);
  EXPECT_EQ(Texture(1), Texture(0));
  ws_.BuildSideTexture(s);
  EXPECT_EQ(ws_.Scene().TextureCount(), 2) << "texture 1 is replaced, not added";
}

TEST_F(SideTextureTest, ZeroOpacitiesOnTheColourPathChangeNothing) {
  EffectSettings s;
  s.highlightColor = 0x00FFFF;  // not white: the colour path
  s.highlightOpacity = 0;
  s.shadowOpacity = 0;
  ws_.BuildSideTexture(s);
  EXPECT_EQ(Texture(1), Texture(0));
}

TEST_F(SideTextureTest, LightFromTheTopLightsTheUpperOutlineAndShadowsTheLower) {
  EffectSettings s;
  s.lightDirection = 90;
  s.highlightColor = 0x00FFFF;  // yellow as the user picks it, colour path
  s.shadowColor = 0xFF0000;     // blue
  s.highlightOpacity = 100;
  s.shadowOpacity = 100;
  ws_.BuildSideTexture(s);
  const CTexture3D& t = ws_.Scene().Texture(1);
  const uint32_t top = t.Texel(12, 2), bottom = t.Texel(12, 21);
  EXPECT_GT(PixelRed(top), 128u);
  EXPECT_LT(PixelBlue(top), 128u);
  EXPECT_GT(PixelBlue(bottom), 128u);
  EXPECT_LT(PixelRed(bottom), 128u);
  EXPECT_EQ(PixelAlpha(top), 255u);
}

TEST_F(SideTextureTest, SmoothingSpreadsColourButKeepsEveryAlpha) {
  EffectSettings s;
  s.lighting = false;
  s.smoothDepth = true;
  ws_.BuildSideTexture(s);
  const CTexture3D& smoothed = ws_.Scene().Texture(1);
  const CTexture3D& source = ws_.Scene().Texture(0);
  for (int y = 0; y < smoothed.Height(); ++y)
    for (int x = 0; x < smoothed.Width(); ++x)
      ASSERT_EQ(PixelAlpha(smoothed.Texel(x, y)), PixelAlpha(source.Texel(x, y))) << x << "," << y;
  // Transparent neighbours lend no colour: the grey stays grey up to the outline.
  EXPECT_EQ(PixelColour(smoothed.Texel(2, 2)), 0x808080u);
}

TEST(ShadeTextureTest, OneBrightLineSpreadsOverFivePixelsWithWeightsOneToThree) {
  CDib img;
  ASSERT_TRUE(img.Create(11, 11));
  img.Fill(0xFF000000);
  for (int y = 0; y < 11; ++y) img.SetPixel(5, y, 0xFF900000);  // red 144 = 9 * 16
  HeightField flat;
  flat.width = flat.height = 31;
  flat.values.assign(31 * 31, 0);
  EffectSettings s;
  s.lighting = false;
  s.smoothDepth = true;
  ShadeTexture(img, flat, s);
  const uint32_t expected[] = {0, 0, 0, 16, 32, 48, 32, 16, 0, 0, 0};
  for (int x = 0; x < 11; ++x) EXPECT_EQ(PixelRed(img.PixelAt(x, 5)), expected[x]) << x;
  EXPECT_EQ(PixelAlpha(img.PixelAt(0, 5)), 255u);
}

}  // namespace
}  // namespace tessaro
