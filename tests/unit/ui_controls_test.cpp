#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>

#include "image/dib.h"
#include "image/pixel.h"
#include "ui/dialog/interface_styles.h"
#include "ui/dialog/paint_surface.h"
#include "ui/toolkit/control_geometry.h"
#include "ui/toolkit/hyperlink_rules.h"

namespace tessaro {
namespace {

constexpr double kPi = 3.14159265358979323846;

SliderState Slider(int32_t width, int32_t minimum, int32_t maximum, int32_t position,
                   int32_t page = 5) {
  SliderState s;
  s.width = width;
  s.height = 20;
  s.minimum = minimum;
  s.maximum = maximum;
  s.position = position;
  s.pageSize = page;
  return s;
}

// Paints into an image and reads colour values (0x00BBGGRR) back.
class Painted : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetInterfaceColors();
    ResetBorderTable();
    SetButtonStyle(kButtonStyleFlat);
  }
  void TearDown() override {
    ResetInterfaceColors();
    ResetBorderTable();
  }
  CDibSurface& Canvas(int32_t w, int32_t h) {
    image_.Create(w, h);
    surface_ = std::make_unique<CDibSurface>(image_);
    surface_->FillRect({0, 0, w, h}, 0x0000FF);
    return *surface_;
  }
  uint32_t At(int32_t x, int32_t y) const { return SwapRedBlue(image_.PixelAt(x, y)) & 0xFFFFFFu; }

  CDib image_;
  std::unique_ptr<CDibSurface> surface_;
};

// ---- Slider ----------------------------------------------------------------------

TEST(SliderThumb, RunsBetweenTheArrowButtons) {
  // 200 wide: the thumb travels 200 - 2*20 - 2 - 36 = 122 pixels.
  DibRect r = SliderThumbRect(Slider(200, 0, 100, 0));
  EXPECT_EQ(r.left, 21);
  EXPECT_EQ(r.right, 57);
  EXPECT_EQ(r.top, 1);
  EXPECT_EQ(r.bottom, 19);
  r = SliderThumbRect(Slider(200, 0, 100, 100));
  EXPECT_EQ(r.left, 143);
  EXPECT_EQ(r.right, 179);
  EXPECT_EQ(SliderThumbRect(Slider(200, 0, 100, 50)).left, 82);
  // Offset ranges map the same way; the product comes before the division.
  EXPECT_EQ(SliderThumbRect(Slider(200, -50, 50, 0)).left, 82);
  EXPECT_EQ(SliderThumbRect(Slider(200, 0, 3, 1)).left, 21 + 122 / 3);
}

TEST(SliderThumb, EmptyWithoutARange) {
  for (const SliderState& s : {Slider(200, 5, 5, 5), Slider(200, 10, 0, 5)}) {
    const DibRect r = SliderThumbRect(s);
    EXPECT_GE(r.left, r.right);
  }
  // Extreme ranges do not overflow.
  const DibRect r = SliderThumbRect(Slider(200, INT32_MIN, INT32_MAX, INT32_MAX));
  EXPECT_EQ(r.left, 143);
}

TEST(SliderDrag, ReachesBothEndsAndStaysInRange) {
  const SliderState s = Slider(200, 0, 100, 40);
  const int32_t offset = SliderDragOffset(s, 70);
  const DibRect thumb = SliderThumbRect(s);
  EXPECT_EQ(offset, (thumb.left + thumb.right) / 2 - 70);
  EXPECT_EQ(SliderDragPosition(s, -500, offset), 0);
  EXPECT_EQ(SliderDragPosition(s, 5000, offset), 100);
  EXPECT_EQ(SliderDragPosition(s, 38 - offset, offset), 0);
  EXPECT_EQ(SliderDragPosition(s, 162 - offset, offset), 100);
  // The centre of the 124-pixel travel is half the range.
  EXPECT_EQ(SliderDragPosition(s, 100, 0), 50);
  EXPECT_EQ(SliderDragPosition(s, 99, 0), 49);
  // Odd thumbs leave one pixel past the travel; it still maps to the maximum.
  SliderState odd = s;
  odd.thumbLength = 35;
  EXPECT_EQ(SliderDragPosition(odd, 5000, 0), 100);
  EXPECT_EQ(SliderDragPosition(Slider(200, 7, 7, 7), 150, 0), 7);
  EXPECT_EQ(SliderDragPosition(Slider(70, 0, 100, 30), 150, 0), 30);  // no travel
}

TEST(SliderStep, ArrowsStepOnePageStepsElsewhere) {
  const SliderState s = Slider(200, 0, 100, 50, 10);  // thumb 82..117
  int32_t d = 0;
  ASSERT_TRUE(SliderStepAt(s, 0, d));
  EXPECT_EQ(d, -1);
  ASSERT_TRUE(SliderStepAt(s, 19, d));
  EXPECT_EQ(d, -1);
  ASSERT_TRUE(SliderStepAt(s, 181, d));
  EXPECT_EQ(d, 1);
  ASSERT_TRUE(SliderStepAt(s, 20, d));
  EXPECT_EQ(d, -10);
  ASSERT_TRUE(SliderStepAt(s, 81, d));
  EXPECT_EQ(d, -10);
  ASSERT_TRUE(SliderStepAt(s, 118, d));
  EXPECT_EQ(d, 10);
  ASSERT_TRUE(SliderStepAt(s, 180, d));  // the right arrow starts past W - a
  EXPECT_EQ(d, 10);
  EXPECT_FALSE(SliderStepAt(s, 82, d));
  EXPECT_FALSE(SliderStepAt(s, 117, d));
  EXPECT_FALSE(SliderStepAt(Slider(200, 0, 100, 50, 0), 40, d));
  ASSERT_TRUE(SliderStepAt(Slider(200, 0, 100, 50, 0), 3, d));
  EXPECT_EQ(d, -1);
}

TEST_F(Painted, SliderBodyTrackArrowsAndThumb) {
  const uint32_t track = 0xC0C0C0, thumb = 0x806040;
  CDibSurface& s = Canvas(200, 20);
  PaintSliderBody(s, Slider(200, 0, 100, 50), track, thumb, false, true);
  EXPECT_EQ(At(0, 0), ShadeColor(track, -64));
  EXPECT_EQ(At(199, 19), ShadeColor(track, 64));
  EXPECT_EQ(At(60, 10), track);
  // Arrow buttons: raised frames inside the sunken one.
  EXPECT_EQ(At(1, 1), ShadeColor(track, 48));
  EXPECT_EQ(At(20, 18), ShadeColor(track, -48));
  EXPECT_EQ(At(179, 1), ShadeColor(track, 48));
  // Chevrons drawn as a pen draws them, each end pixel left out.
  for (auto p : {std::pair{11, 7}, {10, 8}, {9, 9}, {10, 10}, {11, 11}, {188, 7}, {189, 8},
                 {190, 9}, {189, 10}, {188, 11}}) {
    EXPECT_EQ(At(p.first, p.second), 0u) << p.first << "," << p.second;
  }
  EXPECT_EQ(At(12, 12), track);
  EXPECT_EQ(At(187, 12), track);
  // Thumb 82..117: raised frame while enabled, the flat fill inside.
  EXPECT_EQ(At(82, 1), ShadeColor(thumb, 64));
  EXPECT_EQ(At(117, 18), ShadeColor(thumb, -64));
  EXPECT_EQ(At(100, 10), thumb);

  // Hovered lightens the thumb; disabled shows the styled bar's own frame.
  Canvas(200, 20);
  PaintSliderBody(*surface_, Slider(200, 0, 100, 50), track, thumb, true, false);
  EXPECT_EQ(At(100, 10), ShadeColor(thumb, 16));
  EXPECT_EQ(At(82, 1), ShadeColor(GetInterfaceSettings().frameColor, -48));
  // The thumb's own border table was only borrowed.
  EXPECT_EQ(GetBorderTable()[0].middleTopLeft, DefaultBorderTable()[0].middleTopLeft);
}

TEST_F(Painted, SliderWithoutArrowsOrThumb) {
  SliderState st = Slider(100, 0, 10, 0);
  st.arrowSize = 0;
  st.thumbLength = 0;
  CDibSurface& s = Canvas(100, 20);
  PaintSliderBody(s, st, 0xC0C0C0, 0x303030, false, false);
  EXPECT_EQ(At(5, 10), 0x303030u);  // filled with the thumb colour
  EXPECT_EQ(At(11, 8), 0x303030u);  // no chevron
}

// ---- Dial ------------------------------------------------------------------------

TEST(Dial, AngleFromThePointer) {
  // 40 x 40: the centre is (20, 20.25).
  EXPECT_EQ(DialDegreesAt(20, 5, 40, 40), 90);
  EXPECT_EQ(DialDegreesAt(20, 35, 40, 40), -90);
  EXPECT_EQ(DialDegreesAt(-80, 20, 40, 40), 180);
  EXPECT_EQ(DialDegreesAt(20, -300, 40, 40), 90);
  EXPECT_EQ(DialDegreesAt(35, 35, 40, 40), -45);
  EXPECT_EQ(DialDegreesAt(5, 5, 40, 40), 135);
  // Close to the centre the quarter pixel shows.
  EXPECT_EQ(DialDegreesAt(0, 20, 40, 40), 179);
  EXPECT_EQ(DialDegreesAt(35, 20, 40, 40), 1);
  EXPECT_EQ(DialDegreesAt(-80, 21, 40, 40), -180);
}

TEST(Dial, NeedleEndsInsideTheRing) {
  const DibRect inner = {1, 1, 39, 39};
  DialNeedle n = DialNeedleFor(inner, kPi / 2);
  EXPECT_EQ(n.centerX, 18);
  EXPECT_EQ(n.centerY, 18);
  EXPECT_EQ(n.tipX, 19);
  EXPECT_EQ(n.tipY, 5);  // 19 - 14.5, rounded away from zero
  n = DialNeedleFor(inner, 0.0);
  EXPECT_EQ(n.tipX, 34);
  EXPECT_EQ(n.tipY, 19);
  n = DialNeedleFor(inner, kPi);
  EXPECT_EQ(n.tipX, 5);
  EXPECT_EQ(n.tipY, 19);
  n = DialNeedleFor(inner, -kPi / 2);
  EXPECT_EQ(n.tipY, 34);
  n = DialNeedleFor(inner, std::nan(""));
  EXPECT_EQ(n.tipX, 34);
}

TEST(Dial, PictureShowsRingNeedleAndTextDisc) {
  const uint32_t bg = 0xF2F2F2, fg = 0x202020;
  const uint32_t bgPixel = 0xFF000000u | SwapRedBlue(bg), fgPixel = 0xFF000000u | SwapRedBlue(fg);
  CDib picture;
  PaintDialPicture(picture, {1, 1, 39, 39}, kPi / 2, bg, fg, 0);
  ASSERT_EQ(picture.Width(), 38);
  ASSERT_EQ(picture.Height(), 38);
  // The needle points up from the centre (18, 18) to the tip (18, 4).
  EXPECT_EQ(picture.PixelAt(18, 10), fgPixel);
  EXPECT_EQ(picture.PixelAt(18, 28), bgPixel);
  EXPECT_EQ(picture.PixelAt(28, 18), bgPixel);
  // The disc behind the text clears the needle near the centre.
  EXPECT_EQ(picture.PixelAt(18, 16), bgPixel);
  // The knob at the tip is solid.
  EXPECT_EQ(picture.PixelAt(17, 4), fgPixel);
  // The ring (box 4..33) passes through the left-middle pixel column 4.
  EXPECT_NE(picture.PixelAt(4, 18), bgPixel);
  EXPECT_EQ(picture.PixelAt(8, 18), bgPixel);

  PaintDialPicture(picture, {1, 1, 1, 39}, 0.0, bg, fg, 0);  // nothing to paint into
  EXPECT_EQ(picture.Width(), 38);
}

// ---- Buttons ---------------------------------------------------------------------

TEST(ButtonText, BlackOnLightWhiteOnDark) {
  EXPECT_EQ(ButtonTextColorFor(0xFFD7AE), 0x000000u);
  EXPECT_EQ(ButtonTextColorFor(0x000080), 0xFFFFFFu);
  EXPECT_EQ(ButtonTextColorFor(0x00008F), 0x000000u);  // red 143
  EXPECT_EQ(ButtonTextColorFor(0x00008E), 0xFFFFFFu);  // red 142
  EXPECT_EQ(ButtonTextColorFor(0x007000), 0x000000u);  // green 112
  EXPECT_EQ(ButtonTextColorFor(0x006F00), 0xFFFFFFu);
  EXPECT_EQ(ButtonTextColorFor(0xFA0000), 0x000000u);  // blue 250
  EXPECT_EQ(ButtonTextColorFor(0xF90000), 0xFFFFFFu);
}

TEST(HoverFade, FiveStepsEachWayThenStops) {
  HoverAnimation a;
  a.direction = 1;
  int ticks = 0;
  while (a.Tick()) ++ticks;
  EXPECT_EQ(ticks, 5);
  EXPECT_EQ(a.step, 5);
  EXPECT_FALSE(a.Tick());
  EXPECT_EQ(a.step, 5);
  a.direction = -1;
  ticks = 0;
  while (a.Tick()) ++ticks;
  EXPECT_EQ(ticks, 5);
  EXPECT_EQ(a.step, 0);
  a.direction = 0;
  EXPECT_FALSE(a.Tick());
}

TEST(HoverFade, FaceColourAndLook) {
  EXPECT_EQ(ButtonFaceColor(0x102030, 0x60A0F0, 0), 0x102030u);
  EXPECT_EQ(ButtonFaceColor(0x102030, 0x60A0F0, 5), 0x60A0F0u);
  // (0x30 * 3 + 0xF0 * 2) / 5 = 124, (0x20 * 3 + 0xA0 * 2) / 5 = 83, (16 * 3 + 96 * 2) / 5 = 48
  EXPECT_EQ(ButtonFaceColor(0x102030, 0x60A0F0, 2), 0x30537Cu);

  EXPECT_EQ(ButtonLookFor(true, false, false, 5).state, 2);  // checked looks pressed
  EXPECT_EQ(ButtonLookFor(true, true, false, 5).state, 0);   // ...until pressed again
  EXPECT_EQ(ButtonLookFor(false, true, true, 5).state, 2);
  const ButtonLook hover = ButtonLookFor(false, false, true, 3);
  EXPECT_EQ(hover.state, 1);
  EXPECT_DOUBLE_EQ(hover.blend, 0.6);
  EXPECT_EQ(ButtonLookFor(false, false, false, 3).state, 0);
}

// ---- Progress bar ------------------------------------------------------------------

TEST_F(Painted, ProgressBlocksUpToThePosition) {
  const uint32_t track = 0xE0E0E0, bar = 0xFFD7AE;
  const uint32_t block = ShadeColor(bar, -64);
  CDibSurface& s = Canvas(100, 10);
  PaintProgressBar(s, 100, 10, 0, 100, 0, track, bar);
  EXPECT_EQ(At(0, 0), ShadeColor(track, -64));
  EXPECT_EQ(At(99, 9), ShadeColor(track, 64));
  EXPECT_EQ(At(7, 5), block);  // one block even at 0
  EXPECT_EQ(At(2, 2), ShadeColor(GetInterfaceSettings().frameColor, -48));
  EXPECT_EQ(At(14, 5), track);

  Canvas(100, 10);
  PaintProgressBar(*surface_, 100, 10, 0, 100, 50, track, bar);  // end 51
  EXPECT_EQ(At(47, 5), block);
  EXPECT_EQ(At(55, 5), track);

  Canvas(100, 10);
  PaintProgressBar(*surface_, 100, 10, 0, 100, 100, track, bar);
  EXPECT_EQ(At(95, 5), block);  // the last block is cut at W - 2
  EXPECT_EQ(At(98, 5), track);

  Canvas(100, 10);
  PaintProgressBar(*surface_, 100, 10, 5, 5, 5, track, bar);  // no range: nothing
  EXPECT_EQ(At(50, 5), 0x0000FFu);
  EXPECT_EQ(GetBorderTable()[2].outerBottomRight, DefaultBorderTable()[2].outerBottomRight);
}

// ---- Web link ----------------------------------------------------------------------

TEST(HyperLink, OnlyAddressesAndWwwAreLinks) {
  LinkTarget t = LinkTargetFromText(L"https://example.org/tessaro");
  EXPECT_EQ(t.address, L"https://example.org/tessaro");
  EXPECT_FALSE(t.plainText);
  t = LinkTargetFromText(L"Write to mailto:someone@example.org");
  EXPECT_FALSE(t.address.empty());
  t = LinkTargetFromText(L"www.example.org");
  EXPECT_TRUE(t.address.empty());
  EXPECT_FALSE(t.plainText);
  t = LinkTargetFromText(L"Visit www.example.org");
  EXPECT_TRUE(t.address.empty());
  EXPECT_TRUE(t.plainText);
  EXPECT_TRUE(LinkTargetFromText(L"").plainText);
}

TEST(HyperLink, TextColourByState) {
  uint32_t c = 1;
  EXPECT_FALSE(LinkTextColor(kLinkNotALink | kLinkHoverColor, true, true, true, c));
  EXPECT_EQ(c, 1u);
  ASSERT_TRUE(LinkTextColor(kLinkHoverColor, true, false, false, c));
  EXPECT_EQ(c, 0xEF9970u);
  ASSERT_TRUE(LinkTextColor(kLinkUnderline, true, false, false, c));  // no hover colour bit
  EXPECT_EQ(c, kLinkNormalColor);
  ASSERT_TRUE(LinkTextColor(kLinkUnderline, false, true, true, c));
  EXPECT_EQ(c, kLinkFocusColor);
  ASSERT_TRUE(LinkTextColor(kLinkNoFocusColor, false, true, true, c));
  EXPECT_EQ(c, kLinkVisitedColor);
  EXPECT_EQ(kLinkNormalColor, 48u | 64u << 8 | 149u << 16);
}

TEST(HyperLink, BrowserCommandAndFailureTexts) {
  EXPECT_EQ(BrowserCommandLine(L"\"C:\\b.exe\" -url \"%1\"", L"https://x.org"),
            L"\"C:\\b.exe\" -url  https://x.org");
  EXPECT_EQ(BrowserCommandLine(L"b.exe %1 -new", L"a"), L"b.exe  a");
  EXPECT_EQ(BrowserCommandLine(L"b.exe", L"a"), L"b.exe a");
  EXPECT_EQ(LinkOpenFailureText(2), L"The specified file was not found.");
  EXPECT_EQ(LinkOpenFailureText(26), L"A sharing violation occurred. ");
  EXPECT_EQ(LinkOpenFailureText(32), L"The specified dynamic-link library was not found.");
  EXPECT_EQ(LinkOpenFailureText(33), L"Unknown Error (33) occurred.");
  EXPECT_EQ(LinkOpenFailureText(-1), L"Unknown Error (-1) occurred.");
}

}  // namespace
}  // namespace tessaro
