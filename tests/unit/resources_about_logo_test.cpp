#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image/dib.h"
#include "resources/about_logo.h"

namespace tessaro::resources {
namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}

TEST(BitmapFile24, HeaderRowsBottomUpAndPadding) {
  CDib picture;
  ASSERT_TRUE(picture.Create(3, 2));
  picture.SetPixel(0, 0, 0xFF112233u);
  picture.SetPixel(2, 1, 0xFFAABBCCu);
  const std::vector<uint8_t> file = EncodeBitmapFile24(picture);
  ASSERT_EQ(file.size(), 54u + 2u * 12u);  // 9 bytes a row padded to 12
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(U32(file, 2), file.size());
  EXPECT_EQ(U32(file, 10), 54u);
  EXPECT_EQ(U32(file, 18), 3u);
  EXPECT_EQ(U32(file, 22), 2u);
  EXPECT_EQ(file[28], 24);
  // The bottom row comes first, blue green red.
  EXPECT_EQ(file[54 + 6], 0xCC);
  EXPECT_EQ(file[54 + 7], 0xBB);
  EXPECT_EQ(file[54 + 8], 0xAA);
  EXPECT_EQ(file[54 + 9], 0);  // padding
  EXPECT_EQ(file[54 + 12], 0x33);
  EXPECT_EQ(file[54 + 14], 0x11);

  EXPECT_TRUE(EncodeBitmapFile24(CDib()).empty());
}

TEST(AboutLogo, LightWhereTheCreditsRollAndTilesOnTheRight) {
  const CDib logo = DrawAboutLogo();
  ASSERT_EQ(logo.Width(), kLogoWidth);
  ASSERT_EQ(logo.Height(), kLogoHeight);
  // The credit lines are dark grey over the left 150/185 of the picture:
  // everything under most of them must stay light for them to be read.
  int darkest = 255;
  for (int y = 0; y < kLogoHeight; ++y)
    for (int x = 0; x < 460; ++x) {
      const uint32_t p = logo.PixelAt(x, y);
      const int luma = int((((p >> 16) & 0xFF) * 299 + ((p >> 8) & 0xFF) * 587 + (p & 0xFF) * 114) /
                           1000);
      darkest = std::min(darkest, luma);
    }
  EXPECT_GE(darkest, 200);
  // Warm tiles at the right edge, fully opaque everywhere.
  int warm = 0;
  for (int y = 0; y < kLogoHeight; ++y)
    for (int x = 480; x < kLogoWidth; ++x) {
      const uint32_t p = logo.PixelAt(x, y);
      ASSERT_EQ(p >> 24, 0xFFu);
      warm += ((p >> 16) & 0xFF) > 180 && (p & 0xFF) < 130;
    }
  EXPECT_GT(warm, 10000);
}

}  // namespace
}  // namespace tessaro::resources
