#include <gtest/gtest.h>

#include <cmath>

#include "image/dib.h"
#include "image/pixel.h"
#include "scene/hsl_color.h"
#include "scene/side_texture.h"

namespace tessaro {
namespace {

TEST(TintPixelTest, SignPicksTheColourAndTheAlphaStays) {
  const uint32_t p = 0x80404040;
  // Highlight white at full strength replaces the colour, alpha stays.
  EXPECT_EQ(TintPixel(p, 0x000000, 0xFFFFFF, 255), 0x80FFFFFFu);
  EXPECT_EQ(TintPixel(p, 0x0000FF, 0xFFFFFF, -255), 0x80FF0000u) << "shadow red, pixel order";
  // Below one step nothing changes.
  EXPECT_EQ(TintPixel(p, 0x000000, 0xFFFFFF, 0.9), p);
  EXPECT_EQ(TintPixel(p, 0x000000, 0xFFFFFF, -0.9), p);
  // Half strength over an opaque pixel is the over operator at alpha 127.
  const uint32_t opaque = 0xFF204060;
  const uint32_t expected = BlendPixelOver(opaque, 0x7F000000u | SwapRedBlue(0x00FF8000));
  EXPECT_EQ(TintPixel(opaque, 0x000000, 0x00FF8000, 127.5), expected);
  // A transparent pixel: the tint shows in the colour, the alpha stays 0.
  EXPECT_EQ(TintPixel(0x00000000, 0, 0x0000FF, 255) >> 24, 0u);
}

TEST(OverlayTest, OpacityMixesTheColourAndKeepsAlpha) {
  CDib img;
  ASSERT_TRUE(img.Create(2, 1));
  img.SetPixel(0, 0, 0xFF808080);
  img.SetPixel(1, 0, 0x40123456);
  CDib copy;
  img.CopyTo(copy);

  ApplyOverlay(img, 0x000000, 50);
  EXPECT_EQ(img.PixelAt(0, 0), 0xFF404040u);

  copy.CopyTo(img);
  ApplyOverlay(img, 0x0000FF, 100);  // red as the user picks it
  EXPECT_EQ(img.PixelAt(0, 0), 0xFFFF0000u);
  EXPECT_EQ(img.PixelAt(1, 0), 0x40FF0000u);

  copy.CopyTo(img);
  ApplyOverlay(img, 0x0000FF, 0);
  EXPECT_EQ(img.PixelAt(0, 0), copy.PixelAt(0, 0));
  EXPECT_EQ(img.PixelAt(1, 0), copy.PixelAt(1, 0));
}

TEST(HslColorTest, LightnessExtremesAndKeptHue) {
  HslColor red(0xFF0000FF);  // pure red in the low byte, alpha on top
  EXPECT_DOUBLE_EQ(red.GetLightness(), 0.5);
  EXPECT_DOUBLE_EQ(red.Saturation(), 1.0);
  red.SetLightness(1.0);
  EXPECT_EQ(red.GetColor(), 0xFFFFFFFFu);
  HslColor dark(0xFF0000FF);
  dark.SetLightness(-3);  // limited to 0
  EXPECT_EQ(dark.GetColor(), 0xFF000000u);

  // Changing the lightness keeps the hue of a colour.
  HslColor orange(0x0000A0FF);  // c0 = 255, c1 = 160, c2 = 0
  const double hue = orange.Hue();
  orange.SetLightness(0.3);
  HslColor back(orange.GetColor());
  EXPECT_NEAR(back.Hue(), hue, 1.0);
  EXPECT_NEAR(back.GetLightness(), 0.3, 0.01);
}

TEST(HslColorTest, UnchangedLightnessMayComeBackOneStepDarkerNeverLighter) {
  for (uint32_t c = 0; c < 0x1000000; c += 0x010305) {
    HslColor hc(c);
    hc.SetLightness(hc.GetLightness());
    const uint32_t out = hc.GetColor();
    for (int i = 0; i < 3; ++i) {
      const int before = int((c >> (8 * i)) & 0xFF), after = int((out >> (8 * i)) & 0xFF);
      ASSERT_LE(after, before) << std::hex << c;
      ASSERT_GE(after, before - 1) << std::hex << c;
    }
  }
}

TEST(HslColorTest, GreyHasNoHueAndAlphaIsCarried) {
  HslColor grey(0x7F808080);
  EXPECT_DOUBLE_EQ(grey.Saturation(), 0.0);
  EXPECT_DOUBLE_EQ(grey.Hue(), 0.0);
  grey.SetLightness(0.25);
  EXPECT_EQ(grey.GetColor(), 0x7F3F3F3Fu);
  HslColor nan(0x11223344);
  nan.SetLightness(std::nan(""));
  EXPECT_EQ(nan.GetColor() & 0xFFFFFFu, 0u);
}

}  // namespace
}  // namespace tessaro
