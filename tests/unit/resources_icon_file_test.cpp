#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <vector>

#include "image/dib.h"
#include "image/pixel.h"
#include "resources/icon_file.h"
#include "tests/support/icon_file_reader.h"

namespace tessaro::resources {
namespace {

using testing::IconFile;
using testing::IconImage;
using testing::ReadIconFile;

CDib Picture(int w, int h, const std::vector<uint32_t>& pixels) {
  CDib d;
  d.Create(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) d.SetPixel(x, y, pixels[size_t(y) * size_t(w) + size_t(x)]);
  return d;
}

// Odd widths pad both the colour rows and the mask rows; the rows differ so
// that a top-down file would show.
CDib Sample() {
  return Picture(5, 3, {0xFF102030u, 0x00FFFFFFu, 0x01FF0000u, 0x7F00FF00u, 0x800000FFu,  //
                        0xFFFFFFFFu, 0xFF000000u, 0xFF112233u, 0xFF445566u, 0xFF778899u,  //
                        0x00000000u, 0xFFAA0000u, 0xC000AA00u, 0xFF0000AAu, 0x20ABCDEFu});
}

TEST(IconFileTest, DirectoryNamesEachFormAndTheImagesFillTheFile) {
  const CDib picture = Sample();
  const std::vector<uint8_t> bytes =
      EncodeIconFile({{&picture, kPaletteBitCount}, {&picture, kAlphaBitCount}});
  const IconFile f = ReadIconFile(bytes);
  EXPECT_EQ(f.reserved, 0);
  EXPECT_EQ(f.type, 1);
  ASSERT_EQ(f.count, 2);
  ASSERT_EQ(f.images.size(), 2u);
  EXPECT_TRUE(f.imagesTileFile);
  const uint16_t depths[] = {8, 32};
  for (size_t i = 0; i < 2; ++i) {
    const IconImage& image = f.images[i];
    EXPECT_EQ(f.entries[i].width, 5);
    EXPECT_EQ(f.entries[i].height, 3);
    EXPECT_EQ(f.entries[i].colourCount, 0);
    EXPECT_EQ(f.entries[i].planesOrHotX, 1);
    EXPECT_EQ(f.entries[i].bitCountOrHotY, depths[i]);
    EXPECT_TRUE(image.complete) << "image " << i << " size disagrees with its directory entry";
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.height, 6);  // colour and mask rows
    EXPECT_EQ(image.planes, 1);
    EXPECT_EQ(image.bitCount, depths[i]);
    EXPECT_EQ(image.compression, 0u);
  }
  EXPECT_EQ(f.images[0].palette.size(), 256u);
  // Colour rows of 8 and 20 bytes and mask rows of 4 bytes, three of each.
  EXPECT_EQ(f.images[0].sizeImage, 3u * 8 + 3u * 4);
  EXPECT_EQ(f.images[1].sizeImage, 3u * 20 + 3u * 4);
}

TEST(IconFileTest, AlphaFormKeepsStraightColourAndMasksOnlyInvisiblePixels) {
  const CDib picture = Sample();
  const IconFile f = ReadIconFile(EncodeIconFile({{&picture, kAlphaBitCount}}));
  ASSERT_EQ(f.images.size(), 1u);
  const IconImage& image = f.images[0];
  ASSERT_TRUE(image.complete);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      const uint32_t p = picture.PixelAt(x, y);
      EXPECT_EQ(image.colours[image.At(x, y)], p) << x << "," << y;
      EXPECT_EQ(image.masked[image.At(x, y)], PixelAlpha(p) == 0) << x << "," << y;
    }
  }
}

TEST(IconFileTest, PaletteFormShowsHalfOpaquePixelsAndLeavesTheScreenElsewhere) {
  const CDib picture = Sample();
  const IconFile f = ReadIconFile(EncodeIconFile({{&picture, kPaletteBitCount}}));
  ASSERT_EQ(f.images.size(), 1u);
  const IconImage& image = f.images[0];
  ASSERT_TRUE(image.complete);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      const uint32_t p = picture.PixelAt(x, y);
      const size_t i = image.At(x, y);
      const bool shown = PixelAlpha(p) >= 128;
      EXPECT_EQ(image.masked[i], !shown) << x << "," << y;
      // Under a set mask bit the colour is combined with the screen: only
      // black leaves it as it was.  Few colours come through exactly.
      EXPECT_EQ(image.colours[i], shown ? PixelColour(p) : 0u) << x << "," << y;
    }
  }
}

TEST(IconFileTest, SidesOf256AreWrittenAsZeroAndUnusablePicturesGiveNoFile) {
  CDib large, tooLarge, empty;
  large.Create(256, 1);
  tooLarge.Create(257, 1);
  const IconFile f = ReadIconFile(EncodeIconFile({{&large, kAlphaBitCount}}));
  ASSERT_EQ(f.entries.size(), 1u);
  EXPECT_EQ(f.entries[0].width, 0);
  EXPECT_EQ(f.entries[0].height, 1);
  EXPECT_TRUE(f.images[0].complete);

  EXPECT_TRUE(EncodeIconFile({}).empty());
  EXPECT_TRUE(EncodeIconFile({{&tooLarge, kAlphaBitCount}}).empty());
  EXPECT_TRUE(EncodeIconFile({{&empty, kAlphaBitCount}}).empty());
  EXPECT_TRUE(EncodeIconFile({{nullptr, kAlphaBitCount}}).empty());
  EXPECT_TRUE(EncodeIconFile({{&large, kAlphaBitCount}, {&large, 24}}).empty());
  EXPECT_TRUE(EncodeCursorFile(tooLarge, 0, 0).empty());
}

TEST(IconFileTest, CursorCarriesItsHotSpotInTheDirectory) {
  const CDib picture = Sample();
  const IconFile f = ReadIconFile(EncodeCursorFile(picture, 4, 2));
  EXPECT_EQ(f.type, 2);
  ASSERT_EQ(f.entries.size(), 1u);
  EXPECT_EQ(f.entries[0].planesOrHotX, 4);
  EXPECT_EQ(f.entries[0].bitCountOrHotY, 2);
  EXPECT_TRUE(f.imagesTileFile);
  EXPECT_EQ(f.images[0].bitCount, 32);
  EXPECT_TRUE(f.images[0].complete);
  EXPECT_TRUE(EncodeCursorFile(picture, 5, 0).empty());
  EXPECT_TRUE(EncodeCursorFile(picture, 0, 3).empty());
}

// Red, green and blue all vary: 1024 colours on a smooth surface.
CDib ManyColours() {
  CDib d;
  d.Create(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      d.SetPixel(x, y, MakePixel(255, uint32_t(x * 8), uint32_t(y * 8), uint32_t((x + y) * 4)));
  return d;
}

TEST(ReducePaletteTest, ManyColoursAreApproximatedClosely) {
  const CDib picture = ManyColours();
  const std::vector<uint32_t> palette = ReducePalette(picture, 255);
  ASSERT_LE(palette.size(), 255u);
  EXPECT_GE(palette.size(), 200u);  // the budget is used, not wasted on one corner
  EXPECT_EQ(ReducePalette(picture, 255), palette);
  int worst = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const uint32_t p = picture.PixelAt(x, y);
      const uint32_t q = palette[NearestPaletteIndex(palette, PixelColour(p))];
      for (int shift = 0; shift <= 16; shift += 8)
        worst = std::max(worst, std::abs(int((p >> shift) & 0xFFu) - int((q >> shift) & 0xFFu)));
    }
  EXPECT_LE(worst, 12);

  // The file's palette form keeps that fidelity.
  const IconFile f = ReadIconFile(EncodeIconFile({{&picture, kPaletteBitCount}}));
  ASSERT_EQ(f.images.size(), 1u);
  std::set<uint8_t> used(f.images[0].indices.begin(), f.images[0].indices.end());
  EXPECT_GE(used.size(), 200u);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const uint32_t p = picture.PixelAt(x, y), q = f.images[0].colours[f.images[0].At(x, y)];
      for (int shift = 0; shift <= 16; shift += 8)
        ASSERT_LE(std::abs(int((p >> shift) & 0xFFu) - int((q >> shift) & 0xFFu)), 12) << x << "," << y;
    }
}

TEST(ReducePaletteTest, OnlyShownPixelsCountAndFewColoursStayExact) {
  const CDib picture = Picture(4, 1, {0xFFFF0000u, 0x7F00FF00u, 0x800000FFu, 0xFFFF0000u});
  EXPECT_EQ(ReducePalette(picture, 255), (std::vector<uint32_t>{0x0000FFu, 0xFF0000u}));
  // Two colours into one: the mean weighted by pixel count.
  EXPECT_EQ(ReducePalette(picture, 1), (std::vector<uint32_t>{0xAA0055u}));
  EXPECT_TRUE(ReducePalette(picture, 0).empty());
}

}  // namespace
}  // namespace tessaro::resources
