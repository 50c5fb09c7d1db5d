#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image/dib.h"
#include "image/pixel.h"
#include "ui/dialog/interface_styles.h"
#include "ui/dialog/paint_surface.h"

namespace tessaro {
namespace {

constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kBackground = 0x0000FF;  // pure red: no style paints it here

uint32_t Grey(uint32_t v) { return v * 0x010101u; }

// Paints a bar of the given size onto a background and reads colour values back.
class StyledBar : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetInterfaceColors();
    ResetBorderTable();
  }
  void TearDown() override { SetUp(); }

  void Paint(int32_t style, int32_t w, int32_t h, uint32_t color, int32_t state = 0,
             double blend = 0.0) {
    SetButtonStyle(style);
    image_.Create(w + 2, h + 2);
    CDibSurface surface(image_);
    surface.FillRect({0, 0, w + 2, h + 2}, kBackground);
    DrawStyledBar(surface, {1, 1, w + 1, h + 1}, color, state, blend);
  }
  // Position relative to the bar's top-left corner.
  uint32_t At(int32_t x, int32_t y) const { return SwapRedBlue(image_.PixelAt(x + 1, y + 1)); }
  std::vector<uint32_t> Column(int32_t x, int32_t from, int32_t to) const {
    std::vector<uint32_t> c;
    for (int32_t y = from; y < to; ++y) c.push_back(At(x, y));
    return c;
  }

  CDib image_;
};

TEST(ShadeColor, ClampsEachChannelAndDropsTheTopByte) {
  EXPECT_EQ(ShadeColor(0xFF10F080u, 32), 0x30FFA0u);
  EXPECT_EQ(ShadeColor(0x10F080u, -32), 0x00D060u);
  EXPECT_EQ(ShadeColor(0x123456u, INT32_MAX), 0xFFFFFFu);
  EXPECT_EQ(ShadeColor(0x123456u, INT32_MIN), 0u);
}

TEST(InterfaceSettings, DerivedColoursFollowTheirColour) {
  ResetInterfaceColors();
  const InterfaceSettings& s = GetInterfaceSettings();
  EXPECT_EQ(s.buttonStyle, 100);
  EXPECT_EQ(s.controlLight, 0xFFE7BEu);  // 0xFFD7AE + 16, blue limited
  EXPECT_EQ(s.frameColor, 0xEAEAEAu);
  SetControlColor(0x7F102030u);
  SetWindowColor(0x01405060u);
  EXPECT_EQ(s.controlColor, 0x102030u);
  EXPECT_EQ(s.controlLight, 0x203040u);
  EXPECT_EQ(s.frameColor, 0x405060u);
  ResetInterfaceColors();
  EXPECT_EQ(s.controlColor, 0xFFD7AEu);
  EXPECT_EQ(s.windowColor, 0xEAEAEAu);
}

TEST(BorderTable, ScopedTableIsRestoredAndResetGivesTheDefaults) {
  ResetBorderTable();
  {
    CScopedBorderTable swap({{{-48, 64, 0, 0, 0, 0}, {-48, 64, 0, 0, 0, 0}, {-48, 64, 0, 0, 0, 0}}});
    EXPECT_EQ(GetBorderTable()[2].outerBottomRight, 64);
    SetBorderTable({});
  }
  EXPECT_EQ(GetBorderTable()[2].outerBottomRight, 48);
  SetBorderTable({});
  ResetBorderTable();
  const BorderShades& hovered = GetBorderTable()[1];
  EXPECT_EQ(hovered.outerTopLeft, -16);
  EXPECT_EQ(hovered.middleBottomRight, -48);
  EXPECT_EQ(GetBorderTable()[2].middleTopLeft, -128);
  EXPECT_EQ(GetBorderTable()[0].innerTopLeft, 0);
}

TEST_F(StyledBar, ChromeRowsOnATwentyRowFill) {
  Paint(kButtonStyleChrome, 10, 24, kGrey);  // no inner frame: fill rows 2..21
  const std::vector<uint32_t> want = {
      Grey(152), Grey(149), Grey(147), Grey(144), Grey(142), Grey(140), Grey(137), Grey(135), Grey(132), Grey(130),
      Grey(104), Grey(106), Grey(108), Grey(111), Grey(113), Grey(116), Grey(118), Grey(120), Grey(123), Grey(125)};
  EXPECT_EQ(Column(2, 2, 22), want);
  EXPECT_EQ(Column(7, 2, 22), want);  // rows run across the whole fill
  Paint(kButtonStyleChrome, 10, 25, kGrey);  // odd: the lower band takes 11 rows
  EXPECT_EQ(Column(2, 11, 13), (std::vector<uint32_t>{Grey(130), Grey(104)}));
}

TEST_F(StyledBar, AquaKeepsTheUpperHalfAndAnOddMiddleRowPlain) {
  Paint(kButtonStyleAqua, 6, 13, kGrey);  // fill height 9
  EXPECT_EQ(Column(3, 2, 11), (std::vector<uint32_t>{Grey(152), kGrey, kGrey, kGrey, kGrey, kGrey,
                                                     Grey(132), Grey(136), Grey(152)}));
  Paint(kButtonStyleAqua, 6, 12, kGrey);  // fill height 8
  EXPECT_EQ(Column(3, 2, 10), (std::vector<uint32_t>{Grey(152), kGrey, kGrey, kGrey, kGrey,
                                                     Grey(132), Grey(136), Grey(152)}));
}

TEST_F(StyledBar, GradientStylesOnATwentyFourRowFill) {
  struct Case {
    int32_t style, lowerStart;           // first row of the lower band
    uint32_t first, lower, probeRow, probe;  // grey levels for a = 128
  };
  const Case cases[] = {
      {1, 21, 152, 128, 22, 122}, {2, 20, 160, 128, 23, 152}, {3, 20, 112, 128, 23, 110},
      {4, 12, 144, 128, 23, 120}, {5, 18, 112, 128, 23, 154}, {6, 12, 120, 128, 23, 142},
      {7, 4, 128, 104, 3, 110},   {8, 2, 152, 104, 23, 149},  {9, 12, 152, 104, 18, 116},
      {10, 8, 128, 104, 7, 149},
  };
  for (const Case& c : cases) {
    Paint(c.style, 6, 28, kGrey);
    EXPECT_EQ(At(3, 2), Grey(c.first)) << c.style;
    EXPECT_EQ(At(3, 2 + c.lowerStart), Grey(c.lower)) << c.style;
    EXPECT_EQ(At(3, 2 + int32_t(c.probeRow)), Grey(c.probe)) << c.style;
  }
  Paint(12, 6, 10, kGrey);  // no defined look: frames only
  EXPECT_EQ(At(3, 4), kBackground);
}

TEST_F(StyledBar, PressedFramesWithTheDefaultTable) {
  SetWindowColor(0x806040);
  Paint(kButtonStyleFlat, 12, 10, 0x90A0C0, 2);
  const uint32_t frameDark = 0x402000, frameLight = 0xB09070, outline = 0x102040;
  EXPECT_EQ(At(0, 0), frameDark);
  EXPECT_EQ(At(10, 0), frameDark);
  EXPECT_EQ(At(0, 8), frameDark);
  EXPECT_EQ(At(11, 0), frameLight);  // the bottom-right colour owns these corners
  EXPECT_EQ(At(0, 9), frameLight);
  EXPECT_EQ(At(11, 9), frameLight);
  EXPECT_EQ(At(1, 1), outline);
  EXPECT_EQ(At(10, 8), outline);
  EXPECT_EQ(At(2, 2), 0x90A0C0u);
  EXPECT_EQ(At(9, 7), 0x90A0C0u);
  EXPECT_EQ(At(-1, 0), kBackground);
  EXPECT_EQ(At(12, 9), kBackground);
}

TEST_F(StyledBar, FillGrowsOverAbsentFramesButNotOverGaps) {
  struct Case {
    BorderShades shades;
    int32_t fillFrom;  // first fill pixel across the bar
    uint32_t ring1;    // what the second ring from the outside shows
  };
  const uint32_t a = 0x406080;
  const Case cases[] = {
      {{-16, -16, 0, 0, 0, 0}, 1, a},                   // outer only
      {{0, 0, 0, 0, 0, 0}, 0, a},                       // no frames at all
      {{-16, -16, -64, -64, -8, -8}, 3, ShadeColor(a, -64)},
      {{-16, -16, kBorderGap, 5, 0, 0}, 2, kBackground},  // gap keeps its ring
      {{0, 0, -64, -64, 0, 0}, 2, ShadeColor(a, -64)},    // missing outer keeps its place
  };
  for (const Case& c : cases) {
    SetBorderTable({{c.shades, c.shades, c.shades}});
    Paint(kButtonStyleFlat, 10, 10, a);
    EXPECT_EQ(At(c.fillFrom, 5), a) << c.fillFrom;
    if (c.fillFrom > 0) {
      EXPECT_NE(At(c.fillFrom - 1, 5), a) << c.fillFrom;
    }
    EXPECT_EQ(At(1, 5), c.ring1) << c.fillFrom;
  }
}

TEST_F(StyledBar, HoverBlendsFrameShadesAndTruncates) {
  SetWindowColor(kGrey);
  SetBorderTable({{{-64, -16, -64, -64, 0, 0}, {-48, 0, 0, 0, 0, 0}, {-64, 48, -128, -128, 0, 0}}});
  Paint(kButtonStyleFlat, 8, 8, kGrey, 1, 0.5);
  EXPECT_EQ(At(0, 0), Grey(128 - 56));
  EXPECT_EQ(At(7, 7), Grey(128 - 8));
  EXPECT_EQ(At(1, 1), kGrey);  // state 1 has no middle frame, whatever state 0 has
  Paint(kButtonStyleFlat, 8, 8, kGrey, 1, 0.4);
  EXPECT_EQ(At(0, 0), Grey(128 - 57));  // -57.6 truncates towards zero
  Paint(kButtonStyleFlat, 8, 8, kGrey, 1, 7.0);
  EXPECT_EQ(At(0, 0), Grey(128 - 48));
  Paint(kButtonStyleFlat, 8, 8, kGrey, 9, 0.5);  // clamped to pressed; blend unused
  EXPECT_EQ(At(0, 0), Grey(64));
  EXPECT_EQ(At(1, 1), Grey(0));
}

TEST_F(StyledBar, HugeRectanglesOnlyPaintWhatShows) {
  SetButtonStyle(kButtonStyleChrome);
  CDib small;
  small.Create(4, 4);
  CDibSurface surface(small);
  DrawStyledBar(surface, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, kGrey, 0, 0.0);
  // Row 0 lies just past the middle of a fill almost 2^32 rows high, where
  // the lower band starts at a - 24.
  EXPECT_EQ(SwapRedBlue(small.PixelAt(0, 0)), Grey(104));
  EXPECT_EQ(SwapRedBlue(small.PixelAt(3, 3)), Grey(104));
  DrawStyledBar(surface, {INT32_MAX - 1, 0, INT32_MAX, 4}, 0, 2, 0.0);
  EXPECT_EQ(SwapRedBlue(small.PixelAt(3, 3)), Grey(104));
}

}  // namespace
}  // namespace tessaro
