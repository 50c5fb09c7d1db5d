#include "image/dib.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "image/pixel.h"

namespace tessaro {
namespace {

std::array<int32_t, 4> Edges(const DibRect& r) { return {r.left, r.top, r.right, r.bottom}; }

std::vector<uint32_t> Block(const CDib& d) {
  return std::vector<uint32_t>(d.Pixels(), d.Pixels() + size_t(d.Stride()) * size_t(d.Height()));
}

// Every word of the block, padding included, set to a distinct opaque value.
void Number(CDib& d, uint32_t base = 0xFF000000u) {
  uint32_t* p = d.Pixels();
  for (size_t i = 0; i < size_t(d.Stride()) * size_t(d.Height()); ++i) p[i] = base | uint32_t(i);
}

void ExpectEmpty(CDib& d) {
  EXPECT_EQ(d.Width(), 0);
  EXPECT_EQ(d.Height(), 0);
  EXPECT_EQ(d.Stride(), 0);
  EXPECT_EQ(d.Header(), nullptr);
  EXPECT_EQ(d.Pixels(), nullptr);
  // Writes must be ignored without touching memory; reads give the outside value.
  d.SetPixel(0, 0, 0xFFFFFFFFu);
  d.BlendPixel(0, 0, 0x80FFFFFFu);
  d.EraseAlpha(0, 0, 10);
  d.Fill(0x80FFFFFFu);
  EXPECT_EQ(d.PixelAt(0, 0), 0u);
}

TEST(CDibLifetime, ConstructedAndDestroyedImagesAreEmpty) {
  CDib d;
  EXPECT_EQ(Edges(d.ClipRect()), (std::array<int32_t, 4>{kDibNoClip, 0, 0, 0}));
  ExpectEmpty(d);
  ASSERT_TRUE(d.Create(4, 4));
  d.Destroy();
  ExpectEmpty(d);
  d.Destroy();
  ExpectEmpty(d);
}

TEST(CDibLifetime, CreateSetsStrideHeaderAndClip) {
  CDib d;
  ASSERT_TRUE(d.Create(5, 3));
  EXPECT_EQ(d.Width(), 5);
  EXPECT_EQ(d.Height(), 3);
  EXPECT_EQ(d.Stride(), 8);
  const DibHeader* h = d.Header();
  ASSERT_NE(h, nullptr);
  // Header width is the stride; negative height marks top-down rows.
  const DibHeader expected = {40, 8, -3, 1, 32, 0, 96, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(h, &expected, sizeof expected), 0);
  // The colour entry that follows the header in the same block.
  EXPECT_EQ(reinterpret_cast<const DibInfo*>(h)->colors[0], 0u);
  EXPECT_EQ(Edges(d.ClipRect()), (std::array<int32_t, 4>{0, 0, 5, 3}));
  EXPECT_EQ(Block(d), std::vector<uint32_t>(24, 0u));
  for (int w = 1; w <= 9; ++w) {
    ASSERT_TRUE(d.Create(w, 1));
    EXPECT_EQ(d.Stride(), (w + 3) / 4 * 4);
  }
}

TEST(CDibLifetime, SameSizeCreateClearsInPlaceOtherSizeReplaces) {
  CDib d;
  ASSERT_TRUE(d.Create(5, 3));
  const uint32_t* memory = d.Pixels();
  Number(d);
  // Decisive under ASan, whose quarantine never hands a freed block back at once.
  ASSERT_TRUE(d.Create(5, 3));
  EXPECT_EQ(d.Pixels(), memory);
  EXPECT_EQ(Block(d), std::vector<uint32_t>(24, 0u));

  Number(d);
  ASSERT_TRUE(d.Create(6, 3));
  EXPECT_EQ(d.Width(), 6);
  EXPECT_EQ(Edges(d.ClipRect()), (std::array<int32_t, 4>{0, 0, 6, 3}));
  EXPECT_EQ(Block(d), std::vector<uint32_t>(24, 0u));
  ASSERT_TRUE(d.Create(6, 5));
  EXPECT_EQ(d.Header()->height, -5);
  EXPECT_EQ(d.Header()->sizeImage, 160u);
}

TEST(CDibLifetime, RefusedSizesLeaveTheImageEmpty) {
  const int32_t sizes[][2] = {{0, 5}, {5, 0}, {-1, 5}, {5, -1}, {INT32_MIN, 1},
                              {INT32_MAX, 1}, {1, INT32_MAX}, {INT32_MAX, INT32_MAX},
                              {65536, 65536}};
  for (const auto& s : sizes) {
    CDib d;
    ASSERT_TRUE(d.Create(3, 3));
    EXPECT_FALSE(d.Create(s[0], s[1])) << s[0] << " x " << s[1];
    ExpectEmpty(d);
  }
}

TEST(CDibLifetime, BlockSizeLimit) {
  EXPECT_EQ(DibBlockBytes(5, 3), 96);
  EXPECT_EQ(DibBlockBytes(0, 3), -1);
  // Widths are padded before the limit is applied.
  const int32_t rows = int32_t(kMaxDibBytes / 16);
  EXPECT_EQ(DibBlockBytes(4, rows), int64_t(rows) * 16);
  EXPECT_EQ(DibBlockBytes(1, rows), int64_t(rows) * 16);
  EXPECT_EQ(DibBlockBytes(4, rows + 1), -1);
  EXPECT_EQ(DibBlockBytes(INT32_MAX, 1), -1);
  EXPECT_EQ(DibBlockBytes(INT32_MAX, INT32_MAX), -1);
}

TEST(CDibLifetime, MoveTransfersOwnership) {
  CDib a;
  ASSERT_TRUE(a.Create(3, 2));
  a.SetPixel(2, 1, 0xFF123456u);
  CDib b(std::move(a));
  ExpectEmpty(a);
  EXPECT_EQ(b.PixelAt(2, 1), 0xFF123456u);
  CDib c;
  ASSERT_TRUE(c.Create(7, 7));
  c = std::move(b);
  ExpectEmpty(b);
  EXPECT_EQ(c.Width(), 3);
  EXPECT_EQ(c.PixelAt(2, 1), 0xFF123456u);
}

TEST(CDibPixels, AccessIsLimitedToTheClipRectangle) {
  CDib d;
  ASSERT_TRUE(d.Create(5, 3));
  Number(d);
  const std::vector<uint32_t> before = Block(d);
  // The padding word exists but is not addressable.
  EXPECT_EQ(d.PixelAt(5, 0), 0u);
  EXPECT_EQ(d.PixelAt(4, 2), before[2 * 8 + 4]);
  const int32_t outside[][2] = {{-1, 0}, {5, 0}, {0, -1}, {0, 3}, {INT32_MIN, INT32_MIN},
                                {INT32_MAX, INT32_MAX}, {INT32_MIN, 1}, {1, INT32_MAX}};
  for (const auto& p : outside) {
    EXPECT_EQ(d.PixelAt(p[0], p[1]), 0u);
    d.SetPixel(p[0], p[1], 0x11111111u);
    d.BlendPixel(p[0], p[1], 0x80222222u);
    d.EraseAlpha(p[0], p[1], 255);
  }
  EXPECT_EQ(Block(d), before);
  d.SetPixel(1, 2, 0x01020304u);
  EXPECT_EQ(d.Pixels()[2 * 8 + 1], 0x01020304u);
}

TEST(CDibPixels, BlendPixelRules) {
  CDib d;
  ASSERT_TRUE(d.Create(3, 1));
  d.Fill(0xC0336699u);
  d.BlendPixel(0, 0, 0xFF010203u);
  d.BlendPixel(1, 0, 0x00FFFFFFu);  // alpha 0 erases instead of doing nothing
  d.BlendPixel(2, 0, 0x80FFFFFFu);
  EXPECT_EQ(d.PixelAt(0, 0), 0xFF010203u);
  EXPECT_EQ(d.PixelAt(1, 0), 0x00336699u);
  EXPECT_EQ(d.PixelAt(2, 0), BlendPixelOver(0xC0336699u, 0x80FFFFFFu));
}

TEST(CDibPixels, EraseAlphaScalesOnlyAlpha) {
  CDib d;
  ASSERT_TRUE(d.Create(4, 1));
  d.Fill(0xFFABCDEFu);
  d.EraseAlpha(0, 0, 128);
  d.EraseAlpha(1, 0, 255);
  d.EraseAlpha(2, 0, 0);
  d.EraseAlpha(3, 0, 1000);  // clamped to 255
  EXPECT_EQ(d.PixelAt(0, 0), 0x7FABCDEFu);
  EXPECT_EQ(d.PixelAt(1, 0), 0x00ABCDEFu);
  EXPECT_EQ(d.PixelAt(2, 0), 0xFFABCDEFu);
  EXPECT_EQ(d.PixelAt(3, 0), 0x00ABCDEFu);
  d.SetPixel(0, 0, 0x64000000u);
  d.EraseAlpha(0, 0, 200);  // 100 * 55 / 255 = 21.6
  EXPECT_EQ(d.PixelAt(0, 0), 0x15000000u);
  d.SetPixel(0, 0, 0x04000000u);
  d.EraseAlpha(0, 0, 64);  // 4 * 191 / 255 = 2.996
  EXPECT_EQ(d.PixelAt(0, 0), 0x02000000u);
}

TEST(CDibBlock, FillCoversPaddingAndBlendsTranslucentColours) {
  CDib d;
  ASSERT_TRUE(d.Create(5, 3));
  d.Fill(0x80FF0000u);
  EXPECT_EQ(Block(d), std::vector<uint32_t>(24, 0x80FF0000u));
  d.Fill(0x00FFFFFFu);
  EXPECT_EQ(Block(d), std::vector<uint32_t>(24, 0x00FFFFFFu));
  Number(d, 0x40000000u);
  const std::vector<uint32_t> before = Block(d);
  d.Fill(0x9012AB34u);
  for (size_t i = 0; i < before.size(); ++i)
    ASSERT_EQ(d.Pixels()[i], BlendPixelOver(before[i], 0x9012AB34u)) << i;
  d.Fill(0xFF010101u);
  EXPECT_EQ(Block(d), std::vector<uint32_t>(24, 0xFF010101u));
}

TEST(CDibBlock, CopyToCreatesOrReusesTheDestination) {
  CDib src, dst;
  dst.CopyTo(src);  // from an empty image: nothing happens
  ExpectEmpty(src);
  ASSERT_TRUE(dst.Create(2, 2));
  dst.Fill(0xFFFFFFFFu);
  src.CopyTo(dst);
  EXPECT_EQ(dst.PixelAt(1, 1), 0xFFFFFFFFu);

  ASSERT_TRUE(src.Create(5, 3));
  Number(src);
  src.CopyTo(dst);
  EXPECT_EQ(dst.Width(), 5);
  EXPECT_EQ(dst.Height(), 3);
  EXPECT_EQ(Block(dst), Block(src));  // padding included
  const uint32_t* memory = dst.Pixels();
  Number(src, 0x12000000u);
  src.CopyTo(dst);
  EXPECT_EQ(dst.Pixels(), memory);
  EXPECT_EQ(Block(dst), Block(src));
  src.CopyTo(src);
  EXPECT_EQ(Block(dst), Block(src));
}

TEST(CDibBlock, BlendSameSizeNeedsEqualSizesAndCoversPadding) {
  CDib d, s, other;
  ASSERT_TRUE(d.Create(5, 2));
  ASSERT_TRUE(s.Create(5, 2));
  ASSERT_TRUE(other.Create(6, 2));
  d.Fill(0xFF808080u);
  other.Fill(0xFF000000u);
  d.BlendSameSize(other, 255);
  EXPECT_EQ(Block(d), std::vector<uint32_t>(16, 0xFF808080u));
  s.Fill(0x64FF0000u);
  d.BlendSameSize(s, 1);  // 1 * 100 / 255 rounds to 0 but must still count
  EXPECT_EQ(Block(d), std::vector<uint32_t>(16, BlendPixelOver(0xFF808080u, 0x01FF0000u)));
  EXPECT_NE(d.Pixels()[7], 0xFF808080u);
  d.BlendSameSize(s, 0);
  EXPECT_EQ(Block(d), std::vector<uint32_t>(16, BlendPixelOver(0xFF808080u, 0x01FF0000u)));
}

TEST(CDibDrawOver, ScalesSourceAlphaByOpacity) {
  CDib d, s;
  ASSERT_TRUE(d.Create(4, 1));
  ASSERT_TRUE(s.Create(4, 1));
  d.Fill(0xFFFFFFFFu);
  s.SetPixel(0, 0, 0x64000000u);
  s.SetPixel(1, 0, 0xFF0000FFu);
  s.SetPixel(2, 0, 0x00FF0000u);
  s.SetPixel(3, 0, 0x01000000u);
  d.DrawOver(s, 0, 0, 0);
  EXPECT_EQ(Block(d), std::vector<uint32_t>(4, 0xFFFFFFFFu));
  d.DrawOver(s, 0, 0, 1);
  EXPECT_EQ(d.PixelAt(0, 0), 0xFFFEFEFEu);  // composited with alpha 1, not 0
  EXPECT_EQ(d.PixelAt(1, 0), 0xFFFEFEFFu);
  EXPECT_EQ(d.PixelAt(2, 0), 0xFFFFFFFFu);
  EXPECT_EQ(d.PixelAt(3, 0), 0xFFFEFEFEu);
  d.Fill(0xFFFFFFFFu);
  d.DrawOver(s, 0, 0, 128);
  EXPECT_EQ(d.PixelAt(0, 0), BlendPixelOver(0xFFFFFFFFu, 0x32000000u));
  EXPECT_EQ(d.PixelAt(1, 0), BlendPixelOver(0xFFFFFFFFu, 0x800000FFu));
  d.DrawOver(s, 0, 0, 255);
  EXPECT_EQ(d.PixelAt(1, 0), 0xFF0000FFu);
}

TEST(CDibDrawOver, ClipsToBothImages) {
  CDib s, d;
  ASSERT_TRUE(s.Create(10, 10));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) s.SetPixel(x, y, 0xFF000000u | uint32_t(x << 8 | y));
  ASSERT_TRUE(d.Create(5, 5));
  d.DrawOver(s, -3, -2, 255);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) EXPECT_EQ(d.PixelAt(x, y), s.PixelAt(x + 3, y + 2));
    for (int x = 5; x < 8; ++x) EXPECT_EQ(d.Pixels()[y * 8 + x], 0u) << "padding " << x;
  }

  d.Fill(0);
  d.DrawOver(s, 3, 4, 255);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(d.PixelAt(x, y), (x >= 3 && y >= 4) ? s.PixelAt(x - 3, y - 4) : 0u);

  // Positions whose sums would wrap in 32 bits must stay out of view.
  d.Fill(0);
  const int32_t far[][2] = {{INT32_MAX, 0}, {INT32_MIN, 0}, {0, INT32_MAX}, {0, INT32_MIN},
                            {INT32_MIN + 2, INT32_MIN + 2}, {5, 0}, {-10, 0}};
  for (const auto& p : far) d.DrawOver(s, p[0], p[1], 255);
  EXPECT_EQ(Block(d), std::vector<uint32_t>(40, 0u));

  CDib empty;
  d.DrawOver(empty, 0, 0, 255);
  empty.DrawOver(s, 0, 0, 255);
  EXPECT_EQ(Block(d), std::vector<uint32_t>(40, 0u));
  ExpectEmpty(empty);
}

}  // namespace
}  // namespace tessaro
