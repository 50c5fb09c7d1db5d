#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "host/effect_controller.h"
#include "image/pixel.h"

namespace tessaro::host {
namespace {

TEST(EffectControllerTest, MemoryRunningOutEndsTheRunWithNothingWritten) {
  // A document far larger than any render target can be, with a small object
  // in its corner: the source copy fits, the render target does not.
  constexpr int32_t kSide = 60000;
  constexpr int32_t kRows = 12;
  std::vector<uint8_t> in(size_t(kSide) * 4 * kRows, 255);
  std::vector<uint8_t> out(64, 0xAB);  // never large enough: must stay untouched
  HostPixels pixels;
  pixels.width = pixels.height = kSide;
  pixels.planes = 4;
  pixels.in = in.data();
  pixels.inRowBytes = int64_t(kSide) * 4;
  pixels.out = out.data();
  pixels.outRowBytes = int64_t(kSide) * 4;
  ObjectBounds bounds;
  bounds.imageWidth = bounds.imageHeight = kSide;
  bounds.left = bounds.top = 0;
  bounds.right = bounds.bottom = 9;
  FilterRecord record{};
  EffectController effect(record, pixels, bounds);
  EXPECT_THROW(effect.BuildScene(), std::bad_alloc);
  EXPECT_FALSE(effect.HasScene());
  // An OK that cannot build the scene either writes nothing.
  EXPECT_THROW(effect.WriteResult(nullptr), std::bad_alloc);
  EXPECT_EQ(out, std::vector<uint8_t>(64, 0xAB));
}

// A 24 x 24 layer with an opaque 8 x 8 square in the middle.
struct SmallLayer {
  static constexpr int32_t kSide = 24;
  std::vector<uint8_t> in = std::vector<uint8_t>(size_t(kSide) * kSide * 4, 0);
  std::vector<uint8_t> out = std::vector<uint8_t>(in.size(), 0);
  HostPixels pixels;
  ObjectBounds bounds;
  FilterRecord record{};
  SmallLayer() {
    for (int y = 8; y < 16; ++y)
      for (int x = 8; x < 16; ++x) {
        uint8_t* p = &in[(size_t(y) * kSide + x) * 4];
        p[0] = 10, p[1] = 20, p[2] = 30, p[3] = 255;
      }
    pixels.width = pixels.height = kSide;
    pixels.planes = 4;
    pixels.in = in.data();
    pixels.inRowBytes = pixels.outRowBytes = kSide * 4;
    pixels.out = out.data();
    bounds.imageWidth = bounds.imageHeight = kSide;
    bounds.left = bounds.top = 6;
    bounds.right = bounds.bottom = 17;
  }
};

TEST(EffectControllerTest, OneRenderPerBuildAndTheFirstPreviewIsReused) {
  SmallLayer layer;
  EffectController effect(layer.record, layer.pixels, layer.bounds);
  effect.BuildScene();
  EXPECT_FALSE(effect.IsRenderCurrent());
  int reports = 0;
  effect.Render([&](int32_t, int32_t) { ++reports; });
  EXPECT_TRUE(effect.IsRenderCurrent());
  const int afterPreview = reports;
  EXPECT_GT(afterPreview, 0);
  effect.WriteResult([&](int32_t, int32_t) { ++reports; });
  EXPECT_EQ(reports, afterPreview) << "the preview's render is the final one";
  const auto at = [&](int x, int y, int c) { return layer.out[(size_t(y) * 24 + x) * 4 + c]; };
  EXPECT_EQ(at(12, 12, 0), 10);
  EXPECT_EQ(at(12, 12, 3), 255);
  EXPECT_EQ(at(0, 0, 3), 0) << "outside the object the layer is cleared";

  // A changed camera value makes the preview stale; rendering again makes
  // it current, whatever was rendered in between.
  effect.Settings().angleX = 20;
  EXPECT_FALSE(effect.IsRenderCurrent());
  effect.Render(nullptr);
  effect.Render(nullptr);
  EXPECT_TRUE(effect.IsRenderCurrent());
  effect.Settings().lighting = false;
  EXPECT_FALSE(effect.IsRenderCurrent()) << "the texture no longer matches";
}

TEST(EffectControllerTest, TheWrittenImageAlwaysMatchesTheSettings) {
  EffectSettings wanted;
  wanted.angleX = 25;
  wanted.angleY = -15;
  wanted.depth = 60;
  wanted.round = 40;
  wanted.colorOverlay = true;
  wanted.lightDirection = -120;

  SmallLayer reference;
  EffectController silent(reference.record, reference.pixels, reference.bounds);
  silent.Settings() = wanted;
  silent.BuildScene();
  silent.WriteResult(nullptr);

  // Built and previewed with other values, then changed without any rebuild
  // (timers still waiting when OK is pressed).
  SmallLayer stale;
  EffectController dialog(stale.record, stale.pixels, stale.bounds);
  dialog.BuildScene();
  dialog.Render(nullptr);
  dialog.Settings() = wanted;
  dialog.WriteResult(nullptr);
  EXPECT_EQ(stale.out, reference.out);

  // Only the texture's inputs changed: the slices stay, the result matches.
  SmallLayer shaded;
  EffectController reshade(shaded.record, shaded.pixels, shaded.bounds);
  reshade.Settings() = wanted;
  reshade.Settings().colorOverlay = false;
  reshade.BuildScene();
  reshade.Render(nullptr);
  reshade.Settings().colorOverlay = true;
  reshade.WriteResult(nullptr);
  EXPECT_EQ(shaded.out, reference.out);

  // OK before the first build: the scene is built, then written.
  SmallLayer early;
  EffectController unbuilt(early.record, early.pixels, early.bounds);
  unbuilt.Settings() = wanted;
  unbuilt.WriteResult(nullptr);
  EXPECT_TRUE(unbuilt.HasScene());
  EXPECT_EQ(early.out, reference.out);
}

// The dialog draws the visible part of a large document first: the part is
// current for what it contains and the current settings only, and the
// written image still comes from a whole render.
TEST(EffectControllerTest, APartIsCurrentForWhatItHoldsAndOkStillRendersTheWhole) {
  SmallLayer reference;
  EffectController silent(reference.record, reference.pixels, reference.bounds);
  silent.Settings().angleX = 20;
  silent.BuildScene();
  silent.WriteResult(nullptr);

  SmallLayer layer;
  EffectController effect(layer.record, layer.pixels, layer.bounds);
  effect.Settings().angleX = 20;
  effect.BuildScene();
  EXPECT_FALSE(effect.IsPartCurrent({4, 4, 12, 12}));
  effect.RenderPart({2, 3, 14, 15}, nullptr);
  EXPECT_TRUE(effect.IsPartCurrent({4, 4, 12, 12}));
  EXPECT_TRUE(effect.IsPartCurrent({2, 3, 14, 15}));
  EXPECT_FALSE(effect.IsPartCurrent({1, 3, 14, 15}));
  EXPECT_FALSE(effect.IsPartCurrent({4, 4, 15, 12}));
  EXPECT_FALSE(effect.IsRenderCurrent());
  effect.Settings().angleY = 5;
  EXPECT_FALSE(effect.IsPartCurrent({4, 4, 12, 12})) << "drawn with another camera";
  EXPECT_TRUE(effect.IsDrawn({4, 4, 12, 12})) << "but drawn: a pan there needs no render";
  EXPECT_FALSE(effect.IsDrawn({0, 4, 12, 12}));
  effect.Settings().angleY = 0;
  EXPECT_TRUE(effect.IsPartCurrent({4, 4, 12, 12}));

  effect.WriteResult(nullptr);
  EXPECT_TRUE(effect.IsRenderCurrent());
  EXPECT_TRUE(effect.IsPartCurrent({0, 0, 24, 24}));
  EXPECT_EQ(layer.out, reference.out);
  // A part drawn after the whole render leaves the whole no longer current.
  effect.Settings().angleX = 21;
  effect.RenderPart({0, 0, 5, 5}, nullptr);
  EXPECT_FALSE(effect.IsPartCurrent({0, 0, 24, 24}));
  EXPECT_FALSE(effect.IsDrawn({0, 0, 24, 24}));
  effect.BuildScene();
  EXPECT_FALSE(effect.IsDrawn({0, 0, 2, 2})) << "a new scene has drawn nothing";
}

}  // namespace
}  // namespace tessaro::host
