#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "image/dib.h"
#include "image/pixel.h"

namespace tessaro {
namespace {

HDC AsDC(void* dc) { return static_cast<HDC>(dc); }

TEST(CDibWin, PlatformDrawingLandsInThePixels) {
  CDib a, b;
  ASSERT_TRUE(a.Create(5, 3));
  ASSERT_TRUE(b.Create(2, 2));
  // Two images holding contexts at once, released in either order.
  HDC da = AsDC(a.GetDC());
  HDC db = AsDC(b.GetDC());
  ASSERT_NE(da, nullptr);
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(a.GetDC(), da);
  SetPixelV(da, 4, 2, RGB(0x12, 0x34, 0x56));
  const RECT top = {0, 0, 2, 1};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(da, &top, red);
  FillRect(db, &top, red);
  DeleteObject(red);
  a.ReleaseDC();
  b.ReleaseDC();
  // Rows top-down, channels in pixel order.
  EXPECT_EQ(PixelColour(a.PixelAt(4, 2)), 0x123456u);
  EXPECT_EQ(PixelColour(a.PixelAt(0, 0)), 0xFF0000u);
  EXPECT_EQ(PixelColour(a.PixelAt(1, 0)), 0xFF0000u);
  EXPECT_EQ(a.PixelAt(2, 0), 0u);
  EXPECT_EQ(a.PixelAt(0, 2), 0u);
  EXPECT_EQ(PixelColour(b.PixelAt(1, 0)), 0xFF0000u);
  EXPECT_EQ(b.PixelAt(1, 1), 0u);
  // A context still open when the image goes away must not leave it selected.
  HDC open = AsDC(a.GetDC());
  a.Destroy();
  EXPECT_EQ(GetObjectType(open), 0u);
  // An empty image still gives a usable context, drawing into nothing.
  HDC none = AsDC(a.GetDC());
  ASSERT_NE(none, nullptr);
  EXPECT_TRUE(FillRect(none, &top, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
  a.ReleaseDC();
  EXPECT_EQ(GetObjectType(none), 0u);
}

TEST(CDibWin, DrawCopiesWholeImageOrSourceRectangle) {
  CDib src, dst, empty;
  ASSERT_TRUE(src.Create(4, 2));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) src.SetPixel(x, y, 0xFF000000u | uint32_t(0x10 * (x + 1)) << 8 | uint32_t(y + 1));
  ASSERT_TRUE(dst.Create(8, 4));
  HDC dc = AsDC(dst.GetDC());
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(empty.Draw(dc, DibRect{0, 0, 8, 4}), 0);
  EXPECT_EQ(src.Draw(nullptr, DibRect{0, 0, 8, 4}), 0);
  EXPECT_NE(src.Draw(dc, DibRect{0, 0, 8, 4}), 0);
  EXPECT_EQ(GetStretchBltMode(dc), COLORONCOLOR);
  dst.ReleaseDC();
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(PixelColour(dst.PixelAt(x, y)), PixelColour(src.PixelAt(x / 2, y / 2))) << x << "," << y;

  // Partial sources are read in image rows, whether the copy stretches, is
  // unstretched away from the origin, or unstretched from it.
  dst.Fill(0);
  dc = AsDC(dst.GetDC());
  EXPECT_NE(src.Draw(dc, DibRect{5, 1, 7, 2}, DibRect{1, 1, 3, 2}), 0);
  EXPECT_NE(src.Draw(dc, DibRect{0, 2, 8, 4}, DibRect{0, 1, 4, 2}), 0);
  EXPECT_NE(src.Draw(dc, DibRect{0, 0, 2, 1}, DibRect{0, 0, 2, 1}), 0);
  dst.ReleaseDC();
  EXPECT_EQ(PixelColour(dst.PixelAt(5, 1)), PixelColour(src.PixelAt(1, 1)));
  EXPECT_EQ(PixelColour(dst.PixelAt(6, 1)), PixelColour(src.PixelAt(2, 1)));
  EXPECT_EQ(dst.PixelAt(4, 1), 0u);
  EXPECT_EQ(dst.PixelAt(7, 1), 0u);
  EXPECT_EQ(dst.PixelAt(5, 0), 0u);
  for (int y = 2; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(PixelColour(dst.PixelAt(x, y)), PixelColour(src.PixelAt(x / 2, 1))) << x << "," << y;
  EXPECT_EQ(PixelColour(dst.PixelAt(0, 0)), PixelColour(src.PixelAt(0, 0)));
  EXPECT_EQ(PixelColour(dst.PixelAt(1, 0)), PixelColour(src.PixelAt(1, 0)));
  EXPECT_EQ(dst.PixelAt(2, 0), 0u);
}

}  // namespace
}  // namespace tessaro
