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
  effect.WriteResult(nullptr);  // an OK without a scene writes nothing
  EXPECT_EQ(out, std::vector<uint8_t>(64, 0xAB));
}

TEST(EffectControllerTest, OneRenderPerBuildAndTheFirstPreviewIsReused) {
  constexpr int32_t kSide = 24;
  std::vector<uint8_t> in(size_t(kSide) * kSide * 4, 0), out(in.size(), 0);
  for (int y = 8; y < 16; ++y)
    for (int x = 8; x < 16; ++x) {
      uint8_t* p = &in[(size_t(y) * kSide + x) * 4];
      p[0] = 10, p[1] = 20, p[2] = 30, p[3] = 255;
    }
  HostPixels pixels;
  pixels.width = pixels.height = kSide;
  pixels.planes = 4;
  pixels.in = in.data();
  pixels.inRowBytes = pixels.outRowBytes = kSide * 4;
  pixels.out = out.data();
  ObjectBounds bounds;
  bounds.imageWidth = bounds.imageHeight = kSide;
  bounds.left = bounds.top = 6;
  bounds.right = bounds.bottom = 17;
  FilterRecord record{};
  EffectController effect(record, pixels, bounds);
  effect.BuildScene();
  EXPECT_EQ(effect.RenderPending(), 1);
  int reports = 0;
  effect.Render([&](int32_t, int32_t) { ++reports; });
  EXPECT_EQ(effect.RenderPending(), 0);
  const int afterPreview = reports;
  EXPECT_GT(afterPreview, 0);
  effect.WriteResult([&](int32_t, int32_t) { ++reports; });
  EXPECT_EQ(reports, afterPreview) << "the preview's render is the final one";
  EXPECT_EQ(out[(size_t(12) * kSide + 12) * 4 + 0], 10);
  EXPECT_EQ(out[(size_t(12) * kSide + 12) * 4 + 3], 255);
  EXPECT_EQ(out[3], 0) << "outside the object the layer is cleared";
}

}  // namespace
}  // namespace tessaro::host
