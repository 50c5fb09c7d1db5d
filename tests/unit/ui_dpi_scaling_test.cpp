// The skin at other DPIs: every size grows by DPI / 96 and stays its own at
// 96, the frame's zones and grip keep to the edges, the first placement
// centres on a monitor, and the slider's arithmetic holds at any thumb size.
#include <gtest/gtest.h>

#include <cstdint>

#include "image/dib.h"
#include "image/pixel.h"
#include "ui/dialog/about_scroller.h"
#include "ui/dialog/paint_surface.h"
#include "ui/dialog/window_placement.h"
#include "ui/toolkit/control_geometry.h"
#include "ui/toolkit/frame_layout.h"
#include "ui/toolkit/skin_metrics.h"

namespace tessaro {
namespace {

TEST(SkinMetricsTest, SizesGrowWithTheDpiAndStayExactAtNinetySix) {
  const SkinMetrics base = SkinMetricsFor(96);
  EXPECT_EQ(base.sliderThumb, 36);
  EXPECT_EQ(base.sliderArrow, 20);
  EXPECT_EQ(base.smallIcon, 16);
  EXPECT_EQ(base.messageIcon, 38);
  EXPECT_EQ(base.captionIndent, 10);
  EXPECT_EQ(base.cursor, 32);
  // The sizes the artwork is drawn at.
  EXPECT_EQ(SkinMetricsFor(144).smallIcon, 24);
  EXPECT_EQ(SkinMetricsFor(192).smallIcon, 32);
  EXPECT_EQ(SkinMetricsFor(144).messageIcon, 57);
  EXPECT_EQ(SkinMetricsFor(192).messageIcon, 76);
  EXPECT_EQ(SkinMetricsFor(144).sliderThumb, 54);
  EXPECT_EQ(SkinMetricsFor(120).sliderArrow, 25);
  // A failed query counts as 96; rounding is half away from zero both ways.
  EXPECT_EQ(SkinMetricsFor(0).sliderThumb, 36);
  EXPECT_EQ(ScaleToDpi(905, -1), 905);
  EXPECT_EQ(ScaleToDpi(1, 144), 2);
  EXPECT_EQ(ScaleToDpi(-1, 144), -2);
  EXPECT_EQ(ScaleToDpi(905, 144), 1358);
  // Carried from one monitor to another and back, a size comes home.
  EXPECT_EQ(RescaleForDpi(RescaleForDpi(-13, 96, 192), 192, 96), -13);
  EXPECT_EQ(RescaleForDpi(54, 144, 96), 36);
  EXPECT_EQ(RescaleForDpi(INT32_MAX, 96, 192), INT32_MAX);  // held, not wrapped
}

TEST(FrameZonesAtDpi, EdgeZonesAndCursorsGrowWithTheDpi) {
  const ClientSize c = {600, 400};
  // 8 pixels in from the right: inside the 96-DPI corner zone only when the
  // zones are half as large again.
  EXPECT_EQ(SizingHitAt(595, 200, c, 96), FrameHit::kNone);
  EXPECT_EQ(SizingHitAt(595, 200, c, 144), FrameHit::kRight);
  EXPECT_EQ(SizingHitAt(592, 392, c, 96), FrameHit::kBottomRight);
  EXPECT_EQ(SizingHitAt(586, 386, c, 96), FrameHit::kNone);
  EXPECT_EQ(SizingHitAt(586, 386, c, 192), FrameHit::kBottomRight);
  EXPECT_EQ(SizingHitAt(8, 200, c, 144), FrameHit::kLeft);
  EXPECT_EQ(SizingHitAt(8, 200, c, 96), FrameHit::kNone);
  EXPECT_EQ(FrameCursorAt(5, 200, c, false, 96), FrameCursor::kArrow);
  EXPECT_EQ(FrameCursorAt(5, 200, c, false, 192), FrameCursor::kSizeWestEast);
  EXPECT_EQ(FrameCursorAt(300, 397, c, false, 192), FrameCursor::kSizeNorthSouth);
  EXPECT_EQ(FramePressAt(595, 200, c, {0, 0, 600, 20}, true, false, 144), FrameHit::kRight);
}

// The grip's pieces at 192 DPI are twice as far from the corner and twice as
// large; at 96 they are where they always were.
TEST(FrameZonesAtDpi, GripKeepsToTheCornerAtEveryDpi) {
  for (int32_t dpi : {96, 192}) {
    SCOPED_TRACE(dpi);
    CDib image;
    ASSERT_TRUE(image.Create(100, 80));
    image.Fill(0xFF000000u);
    CDibSurface surface(image);
    ToolFrameLook look{{100, 80}, {2, 2, 98, 20}, 0x808080, 0xFFD7AE, 0, true, true};
    look.dpi = dpi;
    PaintToolFrame(surface, look);
    const int32_t k = dpi / 96;
    // The long vertical piece: its left edge at r - 5k, from b - 11k for 8k rows.
    const uint32_t dark = image.PixelAt(100 - 5 * k, 80 - 11 * k + 4 * k);
    const uint32_t beside = image.PixelAt(100 - 5 * k - 1, 80 - 11 * k + 4 * k);
    EXPECT_NE(dark, beside);
    EXPECT_EQ(PixelRed(dark), 0x60u);  // the window colour darkened by 32
  }
}

TEST(SliderAtDpi, ThumbAndDragReachBothEndsWithScaledSizes) {
  SliderState s{};
  s.width = 234;  // a 78-unit slider at 144 DPI
  s.height = 30;
  s.minimum = -100, s.maximum = 100, s.position = -100, s.pageSize = 5;
  s.arrowSize = SkinMetricsFor(144).sliderArrow;
  s.thumbLength = SkinMetricsFor(144).sliderThumb;
  s.dpi = 144;
  const DibRect left = SliderThumbRect(s);
  EXPECT_EQ(left.left, 31);
  EXPECT_EQ(left.right - left.left, 54);
  s.position = 100;
  const DibRect right = SliderThumbRect(s);
  EXPECT_LE(right.right, s.width - s.arrowSize);
  EXPECT_EQ(SliderDragPosition(s, 0, 0), -100);
  EXPECT_EQ(SliderDragPosition(s, s.width, 0), 100);
  int32_t delta = 0;
  ASSERT_TRUE(SliderStepAt(s, 29, delta));  // still on the larger left arrow
  EXPECT_EQ(delta, -1);
}

// The chevrons are drawn with a pen as wide as a pixel at 96 DPI.
TEST(SliderAtDpi, ChevronStrokesGrowWithTheDpi) {
  auto blackPixels = [](int32_t dpi) {
    SliderState s{};
    s.width = ScaleToDpi(156, dpi), s.height = ScaleToDpi(21, dpi);
    s.minimum = 0, s.maximum = 10, s.position = 5;
    s.arrowSize = ScaleToDpi(20, dpi), s.thumbLength = ScaleToDpi(36, dpi), s.dpi = dpi;
    CDib image;
    image.Create(s.width, s.height);
    CDibSurface surface(image);
    PaintSliderBody(surface, s, 0xC0C0C0, 0xFFD7AE, false, true);
    int black = 0;
    for (int32_t y = 0; y < s.height; ++y)
      for (int32_t x = 0; x < s.arrowSize; ++x)
        if ((image.PixelAt(x, y) & 0xFFFFFFu) == 0) ++black;
    return black;
  };
  const int at96 = blackPixels(96), at192 = blackPixels(192);
  EXPECT_EQ(at96, 5);  // two strokes of 2 and 3 pixels
  EXPECT_GT(at192, 3 * at96);  // twice as long, twice as wide, less the overlaps
}

// The about box's picture grows with the dialog; its credits keep their
// proportions to it: at twice the DPI every length of the roll doubles.
TEST(AboutAtDpi, CreditsRollWithTheirGeometryScaled) {
  AboutScroller base(100), twice(200, 192);
  EXPECT_EQ(twice.StartPosition(), 2 * base.StartPosition());
  EXPECT_EQ(twice.LineStep(), 2 * AboutScroller::kLineStep);
  EXPECT_EQ(twice.TextLeft(), 2 * AboutScroller::kTextLeft);
  EXPECT_EQ(twice.LineHeight(), 2 * AboutScroller::kLineHeight);
  EXPECT_EQ(twice.TextColumn(), 2 * AboutScroller::kTextColumn);
  for (int32_t f : {1, 64, 127, 200}) {
    SCOPED_TRACE(f);
    EXPECT_EQ(twice.FadeLevel(2 * f), base.FadeLevel(f));
    EXPECT_EQ(twice.FadeLevel(twice.StartPosition() - 2 * f),
              base.FadeLevel(base.StartPosition() - f));
  }
  EXPECT_EQ(base.FadeLevel(64), 128);  // unchanged at 96: twice the distance in
}

TEST(WindowPlacementTest, FirstOpeningCentresOnTheEditorsMonitor) {
  const ScreenRect second = {1920, 0, 3840, 1040};
  EXPECT_EQ(CentredOn(second, 1358, 840), (ScreenRect{2201, 100, 3559, 940}));
  // Larger than the monitor: its top-left corner stays on it.
  EXPECT_EQ(CentredOn({0, 0, 1280, 720}, 1810, 1120), (ScreenRect{0, 0, 1810, 1120}));
  EXPECT_EQ(CentredOn({-1280, 0, 0, 1024}, 905, 560), (ScreenRect{-1093, 232, -188, 792}));
}

}  // namespace
}  // namespace tessaro
