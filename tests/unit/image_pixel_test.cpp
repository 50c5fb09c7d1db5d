#include "image/pixel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace tessaro {
namespace {

TEST(BlendPixelOver, KnownResults) {
  EXPECT_EQ(BlendPixelOver(0xFFFFFFFFu, 0x80000000u), 0xFF7F7F7Fu);
  // Over a transparent pixel the source is kept as it is.
  EXPECT_EQ(BlendPixelOver(0x00000000u, 0x80FF0000u), 0x80FF0000u);
  EXPECT_EQ(BlendPixelOver(0x00123456u, 0x40ABCDEFu), 0x40ABCDEFu);
  // Half over half: alpha 128 - 64 + 128, channels truncated twice.
  EXPECT_EQ(BlendPixelOver(0x80FF0000u, 0x800000FFu), 0xC05400AAu);
}

TEST(BlendPixelOver, OpaqueSourceReplacesAndTransparentSourceKeeps) {
  std::mt19937 rng(1);
  for (int i = 0; i < 100000; ++i) {
    const uint32_t d = rng();
    const uint32_t colour = rng() & 0x00FFFFFFu;
    EXPECT_EQ(BlendPixelOver(d, 0xFF000000u | colour), 0xFF000000u | colour);
    EXPECT_EQ(BlendPixelOver(d, colour), d);
  }
}

// Compares with the over operator in real arithmetic: the alpha may only lose
// the fraction of one truncation, each channel at most one truncation of its
// numerator plus the final one.
TEST(BlendPixelOver, StaysWithinTruncationOfRealValuedOver) {
  std::mt19937 rng(2);
  for (int i = 0; i < 1000000; ++i) {
    const uint32_t d = rng(), s = rng();
    const double ad = PixelAlpha(d), as = PixelAlpha(s);
    if (as == 0 || as == 255) continue;
    const uint32_t r = BlendPixelOver(d, s);
    const double alpha = ad + as - ad * as / 255.0;
    ASSERT_GE(double(PixelAlpha(r)), alpha) << std::hex << d << " " << s;
    ASSERT_LT(double(PixelAlpha(r)), alpha + 1.0) << std::hex << d << " " << s;
    const double a = PixelAlpha(r);
    uint32_t (*const channels[])(uint32_t) = {PixelRed, PixelGreen, PixelBlue};
    for (auto ch : channels) {
      const double exact = (ch(d) * (255.0 - as) * ad / 255.0 + ch(s) * as) / a;
      ASSERT_LE(double(ch(r)), exact + 1e-9) << std::hex << d << " " << s;
      ASSERT_LT(exact - ch(r), 1.0 + 1.0 / a) << std::hex << d << " " << s;
    }
  }
}

TEST(BlendPixelOver, OverOpaqueStaysOpaqueAndAlphaNeverDrops) {
  for (uint32_t ad = 0; ad < 256; ++ad) {
    for (uint32_t as = 1; as < 256; ++as) {
      const uint32_t r = BlendPixelOver(MakePixel(ad, 255, 0, 255), MakePixel(as, 255, 0, 255));
      ASSERT_GE(PixelAlpha(r), std::max(ad, as));
      if (ad == 255) {
        ASSERT_EQ(PixelAlpha(r), 255u);
      }
      ASSERT_EQ(PixelGreen(r), 0u);
    }
  }
}

TEST(MixColor, MixesEachChannelAndTruncates) {
  EXPECT_EQ(MixColor(0x0000FFu, 0x000000u, 0.5), 0x00007Fu);
  EXPECT_EQ(MixColor(0xFF102030u, 0xEE405060u, 0.0), 0x00405060u);
  EXPECT_EQ(MixColor(0xFF102030u, 0xEE405060u, 1.0), 0x00102030u);
  EXPECT_EQ(MixColor(0x00FF0000u, 0x0000FF00u, 0.25), 0x003FBF00u);
}

TEST(MixColor, OutOfRangeWeightKeepsLowBitsAndNeverTraps) {
  // 0 * (1 - 2) + 200 * 2 = 400; only its low byte survives.
  EXPECT_EQ(MixColor(0x0000C8u, 0x000000u, 2.0), 0x000090u);
  // -1.5 truncates to -1, whose low byte is 0xFF.
  EXPECT_EQ(MixColor(0x000000u, 0x000001u, 2.5), 0x0000FFu);
  EXPECT_EQ(MixColor(0x010101u, 0x000000u, std::numeric_limits<double>::quiet_NaN()), 0u);
  EXPECT_EQ(MixColor(0x010101u, 0x000000u, 1e300), 0u);
}

TEST(SwapRedBlue, ExchangesOuterBytesAndDropsTopByte) {
  EXPECT_EQ(SwapRedBlue(0x12345678u), 0x00785634u);
  std::mt19937 rng(3);
  for (int i = 0; i < 1000; ++i) {
    const uint32_t c = rng() & 0x00FFFFFFu;
    EXPECT_EQ(SwapRedBlue(SwapRedBlue(c)), c);
  }
}

}  // namespace
}  // namespace tessaro
