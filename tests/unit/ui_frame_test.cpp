#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <utility>

#include "image/dib.h"
#include "image/pixel.h"
#include "ui/dialog/interface_styles.h"
#include "ui/dialog/paint_surface.h"
#include "ui/toolkit/frame_layout.h"

namespace tessaro {

static bool operator==(const DibRect& a, const DibRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static std::ostream& operator<<(std::ostream& os, const DibRect& r) {
  return os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

namespace {

constexpr Anchor kFivePercent = {5, 0};
constexpr Anchor kTenPercent = {10, 0};

// ---- Anchors ---------------------------------------------------------------------

TEST(AnchorLayout, GrowingByTwoHundredMovesAFiveToTenPercentControlByTen) {
  // Every starting width, so the truncating divisions cannot hide behind one
  // lucky size.
  for (int32_t width = 300; width < 700; ++width) {
    const DibRect control = {40, 10, 80, 30};
    const AnchoredPlacement p =
        MeasureAnchoredControl({width, 300}, control, kFivePercent, kTenPercent);
    const DibRect grown = PlaceAnchoredControl(p, {width + 200, 300});
    ASSERT_EQ(grown.left, control.left + 10) << width;
    ASSERT_EQ(grown.right, control.right + 20) << width;
    ASSERT_EQ(grown.top, control.top);
    ASSERT_EQ(grown.bottom, control.bottom);
  }
}

TEST(AnchorLayout, PlacingAtTheRecordedSizeGivesTheRecordedRectangle) {
  const Anchor anchors[] = {kAnchorTopLeft, kFivePercent, kTenPercent, kAnchorTopRight,
                            kAnchorBottomLeft, {10, 100}, kAnchorBottomRight, {33, 67}};
  const DibRect controls[] = {{0, 0, 1, 1}, {7, 13, 55, 41}, {-5, -3, 20, 400}, {290, 180, 301, 205}};
  for (const ClientSize client : {ClientSize{1, 1}, ClientSize{437, 291}, ClientSize{1013, 77}}) {
    for (const Anchor tl : anchors) {
      for (const Anchor br : anchors) {
        for (const DibRect& c : controls) {
          EXPECT_EQ(PlaceAnchoredControl(MeasureAnchoredControl(client, c, tl, br), client), c)
              << client.width << "x" << client.height << " " << tl.x << "," << tl.y << " " << br.x
              << "," << br.y;
        }
      }
    }
  }
}

TEST(AnchorLayout, ControlsFollowTheirCornersAnchors) {
  const ClientSize before = {400, 300}, after = {520, 390};
  const DibRect control = {300, 250, 380, 280};

  // Without a bottom-right anchor the control keeps its size.
  DibRect r = PlaceAnchoredControl(
      MeasureAnchoredControl(before, control, kAnchorBottomRight), after);
  EXPECT_EQ(r, (DibRect{420, 340, 500, 370}));

  // Stretched across, fixed vertically (the caption strip's anchors).
  r = PlaceAnchoredControl(
      MeasureAnchoredControl(before, {0, 0, 400, 20}, kAnchorTopLeft, kAnchorTopRight), after);
  EXPECT_EQ(r, (DibRect{0, 0, 520, 20}));

  // Left edge fixed, right and bottom edges follow the bottom-right corner.
  r = PlaceAnchoredControl(
      MeasureAnchoredControl(before, {10, 40, 390, 290}, kAnchorTopLeft, kAnchorBottomRight), after);
  EXPECT_EQ(r, (DibRect{10, 40, 510, 380}));

  // Shrinking truncates each anchored point on its own: 199 * 5 / 100 = 9.
  r = PlaceAnchoredControl(MeasureAnchoredControl({200, 100}, {10, 0, 30, 10}, kFivePercent),
                           {199, 100});
  EXPECT_EQ(r, (DibRect{9, 0, 29, 10}));
}

TEST(AnchorLayout, HugeSizesDoNotOverflow) {
  const AnchoredPlacement p = MeasureAnchoredControl({INT32_MAX, INT32_MAX}, {0, 0, 10, 10},
                                                     kAnchorBottomRight, kAnchorBottomRight);
  const DibRect r = PlaceAnchoredControl(p, {INT32_MAX, INT32_MAX});
  EXPECT_EQ(r, (DibRect{0, 0, 10, 10}));
}

TEST(ListBoxRefresh, OnlyAScrolledListWhoseScrollLimitDropsBelowItsPosition) {
  EXPECT_FALSE(ListBoxNeedsRefresh(0, 50, 200, 100));   // nothing to scroll
  EXPECT_FALSE(ListBoxNeedsRefresh(-3, 50, 200, 100));
  // Limit 100 at position 90: widening by 20 leaves 80 < 90.
  EXPECT_TRUE(ListBoxNeedsRefresh(100, 90, 200, 220));
  EXPECT_FALSE(ListBoxNeedsRefresh(100, 90, 200, 210));  // 90 is not below 90
  EXPECT_FALSE(ListBoxNeedsRefresh(100, 90, 200, 180));  // narrowing
}

TEST(FrameSizes, GripSitsInTheCornerAndTheMinimumHoldsEachDirection) {
  EXPECT_EQ(GripRect({300, 200}, 17, 16), (DibRect{283, 184, 300, 200}));
  const ClientSize minimum = {320, 240};
  const ClientSize a = ClampToMinimumSize({100, 500}, minimum);
  EXPECT_EQ(a.width, 320);
  EXPECT_EQ(a.height, 500);
  const ClientSize b = ClampToMinimumSize({400, -7}, minimum);
  EXPECT_EQ(b.width, 400);
  EXPECT_EQ(b.height, 240);
}

// ---- Presses and the pointer ---------------------------------------------------

struct HitCase {
  int32_t x, y;
  FrameHit hit;
};

TEST(FrameHitTest, PressZonesOfAThreeHundredByTwoHundredDialog) {
  const ClientSize c = {300, 200};
  const HitCase cases[] = {
      {299, 199, FrameHit::kBottomRight}, {291, 191, FrameHit::kBottomRight},
      {290, 191, FrameHit::kNone},        {291, 190, FrameHit::kNone},
      {0, 0, FrameHit::kTopLeft},         {5, 5, FrameHit::kTopLeft},
      {6, 5, FrameHit::kTop},             {5, 6, FrameHit::kLeft},
      {3, 196, FrameHit::kBottomLeft},    {3, 195, FrameHit::kLeft},
      {296, 5, FrameHit::kTopRight},      {296, 6, FrameHit::kRight},
      {296, 100, FrameHit::kRight},       {295, 100, FrameHit::kNone},
      {5, 100, FrameHit::kLeft},          {6, 100, FrameHit::kNone},
      {100, 196, FrameHit::kBottom},      {100, 195, FrameHit::kNone},
      {100, 5, FrameHit::kTop},           {150, 100, FrameHit::kNone},
      // Three pixels from the bottom edge, fifty from the left.
      {50, 197, FrameHit::kBottom},
  };
  for (const HitCase& h : cases) EXPECT_EQ(SizingHitAt(h.x, h.y, c), h.hit) << h.x << "," << h.y;
}

TEST(FrameHitTest, CaptionComesFirstAndOnlyResizableUnrolledDialogsResize) {
  const ClientSize c = {300, 200};
  const DibRect caption = {2, 2, 298, 22};
  EXPECT_EQ(FramePressAt(100, 3, c, caption, true, false), FrameHit::kCaption);
  EXPECT_EQ(FramePressAt(100, 1, c, caption, true, false), FrameHit::kTop);
  EXPECT_EQ(FramePressAt(100, 22, c, caption, true, false), FrameHit::kNone);
  EXPECT_EQ(FramePressAt(50, 197, c, caption, true, false), FrameHit::kBottom);
  EXPECT_EQ(FramePressAt(50, 197, c, caption, false, false), FrameHit::kNone);
  EXPECT_EQ(FramePressAt(50, 197, c, caption, true, true), FrameHit::kNone);
  // A rolled-up or fixed dialog still moves by its caption.
  EXPECT_EQ(FramePressAt(100, 10, c, caption, false, true), FrameHit::kCaption);
  // Without a caption static nothing moves the dialog.
  EXPECT_EQ(FramePressAt(100, 10, c, {0, 0, 0, 0}, true, false), FrameHit::kNone);
}

TEST(FrameCursor, ShapesFollowTheirOwnZonesAndRollUpShowsTheArrow) {
  const ClientSize c = {300, 200};
  struct CursorCase {
    int32_t x, y;
    FrameCursor cursor;
  };
  const CursorCase cases[] = {
      {299, 199, FrameCursor::kSizeNorthWestSouthEast}, {1, 1, FrameCursor::kSizeNorthWestSouthEast},
      {2, 1, FrameCursor::kSizeWestEast},               {1, 2, FrameCursor::kSizeWestEast},
      {299, 3, FrameCursor::kSizeNorthEastSouthWest},   {299, 4, FrameCursor::kSizeWestEast},
      {4, 195, FrameCursor::kSizeNorthEastSouthWest},   {4, 194, FrameCursor::kArrow},
      {296, 100, FrameCursor::kSizeWestEast},           {3, 100, FrameCursor::kSizeWestEast},
      {4, 100, FrameCursor::kArrow},                    {100, 196, FrameCursor::kSizeNorthSouth},
      {100, 1, FrameCursor::kSizeNorthSouth},           {100, 2, FrameCursor::kArrow},
      {150, 100, FrameCursor::kArrow},
  };
  for (const CursorCase& k : cases)
    EXPECT_EQ(FrameCursorAt(k.x, k.y, c, false), k.cursor) << k.x << "," << k.y;
  for (const CursorCase& k : cases) EXPECT_EQ(FrameCursorAt(k.x, k.y, c, true), FrameCursor::kArrow);
}

TEST(RollUp, KeepsTheCaptionStripWithAMatchingBottomMargin) {
  EXPECT_EQ(RolledUpClientHeight({2, 2, 298, 22}), 23);
  EXPECT_EQ(RolledUpClientHeight({0, 5, 100, 25}), 29);
  // No caption: one row, never an invisible window.
  EXPECT_EQ(RolledUpClientHeight({0, 0, 0, 0}), 1);
}

// ---- Painting --------------------------------------------------------------------

class FramePaint : public ::testing::Test {
 protected:
  static constexpr uint32_t kWindow = 0x808080;
  static constexpr uint32_t kControl = 0x906030;
  static constexpr int32_t kW = 60, kH = 40;

  void SetUp() override {
    ResetInterfaceColors();
    ResetBorderTable();
    SetButtonStyle(kButtonStyleFlat);
  }
  void TearDown() override {
    ResetInterfaceColors();
    ResetBorderTable();
  }

  ToolFrameLook Look() const {
    ToolFrameLook look;
    look.client = {kW, kH};
    look.caption = {2, 2, kW - 2, 14};
    look.windowColor = kWindow;
    look.controlColor = kControl;
    look.stripeContrast = 4;
    look.showGrip = true;
    look.active = true;
    return look;
  }
  void Paint(const ToolFrameLook& look) {
    ASSERT_TRUE(image_.Create(kW, kH));
    image_.Fill(0xFF0000FFu);  // blue: no frame colour here is blue
    CDibSurface surface(image_);
    PaintToolFrame(surface, look);
  }
  uint32_t At(int32_t x, int32_t y) const { return SwapRedBlue(image_.PixelAt(x, y)); }

  CDib image_;
};

TEST_F(FramePaint, BackgroundRowsAlternateAroundTheWindowColour) {
  Paint(Look());
  for (int32_t y = 15; y < kH - 1; ++y) {
    const uint32_t expected = (y % 2 == 1) ? 0x848484u : 0x7C7C7Cu;
    // Whole rows, but away from the grip in the bottom-right corner.
    for (int32_t x = 1; x < kW - 13; ++x) ASSERT_EQ(At(x, y), expected) << x << "," << y;
  }
  EXPECT_EQ(StripeRowColor(0x10F0F0, 32, 3), 0x30FFFFu);
  EXPECT_EQ(StripeRowColor(0x10F0F0, 32, 4), 0x00D0D0u);
  EXPECT_EQ(StripeRowColor(0x808080, INT32_MIN, 4), 0xFFFFFFu);  // negation saturates
}

TEST_F(FramePaint, ContrastZeroGivesAFlatBackground) {
  ToolFrameLook look = Look();
  look.stripeContrast = 0;
  look.showGrip = false;
  Paint(look);
  for (int32_t y = 15; y < kH - 1; ++y)
    for (int32_t x = 1; x < kW - 1; ++x) ASSERT_EQ(At(x, y), kWindow) << x << "," << y;
}

TEST_F(FramePaint, RaisedBorderRoundTheClientArea) {
  Paint(Look());
  const uint32_t light = 0xE0E0E0, dark = 0x242424;  // window +96 and -92
  for (int32_t x = 0; x < kW - 1; ++x) EXPECT_EQ(At(x, 0), light) << x;
  for (int32_t y = 0; y < kH - 1; ++y) EXPECT_EQ(At(0, y), light) << y;
  for (int32_t x = 0; x < kW; ++x) EXPECT_EQ(At(x, kH - 1), dark) << x;
  for (int32_t y = 0; y < kH; ++y) EXPECT_EQ(At(kW - 1, y), dark) << y;
}

TEST_F(FramePaint, GripOnlyWhenShown) {
  const uint32_t dark = 0x606060, light = 0xA0A0A0;  // window -32 and +32
  const int32_t r = kW, b = kH;
  Paint(Look());
  EXPECT_EQ(At(r - 5, b - 12), dark);   // first bar's top edge
  EXPECT_EQ(At(r - 3, b - 11), light);  // its bottom edge
  EXPECT_EQ(At(r - 5, b - 8), dark);    // upright bar's left edge
  EXPECT_EQ(At(r - 4, b - 8), light);   // and its right edge
  EXPECT_EQ(At(r - 12, b - 5), dark);   // lower bar
  EXPECT_EQ(At(r - 11, b - 2), light);  // lowest upright's right edge
  EXPECT_EQ(At(r - 13, b - 5), StripeRowColor(kWindow, 4, b - 5));

  ToolFrameLook look = Look();
  look.showGrip = false;
  Paint(look);
  for (const auto& [x, y] : {std::pair{r - 5, b - 12}, {r - 3, b - 11}, {r - 5, b - 8},
                             {r - 4, b - 8}, {r - 12, b - 5}, {r - 11, b - 2}})
    EXPECT_EQ(At(x, y), StripeRowColor(kWindow, 4, y)) << x << "," << y;
}

TEST_F(FramePaint, CaptionBarIsDarkerWhenInactive) {
  Paint(Look());
  const uint32_t active = At(kW / 2, 8);
  EXPECT_EQ(active, ShadeColor(kControl, -48));
  EXPECT_EQ(active, CaptionBarColor(kControl, true));
  // The caption's outer frame is drawn in the frame colour's shades.
  EXPECT_EQ(At(2, 8), ShadeColor(GetInterfaceSettings().frameColor, -16));

  ToolFrameLook look = Look();
  look.active = false;
  Paint(look);
  EXPECT_EQ(At(kW / 2, 8), ShadeColor(kControl, -64));
  EXPECT_EQ(CaptionOutlineColor(kControl), ShadeColor(kControl, -96));
}

TEST_F(FramePaint, StripesShowWhereAStyleLeavesAGapInTheCaption) {
  BorderTable table = DefaultBorderTable();
  table[0].outerTopLeft = kBorderGap;
  SetBorderTable(table);
  Paint(Look());
  // The caption's outer ring is a gap: the background shows, never stale pixels.
  EXPECT_EQ(At(kW / 2, 2), StripeRowColor(kWindow, 4, 2));
  EXPECT_EQ(At(kW / 2, 13), StripeRowColor(kWindow, 4, 13));
}

TEST_F(FramePaint, EmptyClientPaintsNothing) {
  ASSERT_TRUE(image_.Create(4, 4));
  image_.Fill(0xFF0000FFu);
  CDibSurface surface(image_);
  ToolFrameLook look = Look();
  look.client = {0, 40};
  PaintToolFrame(surface, look);
  look.client = {40, -1};
  PaintToolFrame(surface, look);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(image_.PixelAt(x, y), 0xFF0000FFu);
}

}  // namespace
}  // namespace tessaro
