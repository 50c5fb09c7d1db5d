#include <gtest/gtest.h>

#include <cstdint>

#include "image/dib.h"
#include "image/pixel.h"
#include "ui/dialog/preview_view.h"

namespace tessaro {
namespace {

TEST(PreviewView, DocumentSmallerThanThePaneIsShownWholeAndCannotBeDragged) {
  PreviewView view;
  CDib image;
  PreviewRect extent{0, 0, 99, 79};  // a 100 x 80 document
  ASSERT_TRUE(view.SetImage(&image, extent, false, 200, 150));
  EXPECT_EQ(view.View(), (PreviewRect{0, 0, 99, 79}));
  EXPECT_EQ(image.Width(), 99);
  EXPECT_EQ(image.Height(), 79);

  ASSERT_TRUE(view.BeginDrag(10, 10));
  EXPECT_TRUE(view.DragTo(60, 90));
  EXPECT_EQ(view.View(), (PreviewRect{0, 0, 99, 79}));
  const PreviewPlacement at = PlacePreview(200, 150, view.ViewWidth(), view.ViewHeight());
  EXPECT_EQ(at.left, 50);
  EXPECT_EQ(at.top, 35);
}

TEST(PreviewView, LargerDocumentStartsCentredAndDraggingStopsAtItsEdges) {
  PreviewView view;
  CDib image;
  PreviewRect extent{0, 0, 999, 799};
  ASSERT_TRUE(view.SetImage(&image, extent, false, 200, 150));
  // The view spans the client less one pixel, around the document's centre.
  EXPECT_EQ(view.View(), (PreviewRect{400, 325, 599, 474}));

  // The picture follows the pointer: moving right shows what lies left.
  ASSERT_TRUE(view.BeginDrag(100, 100));
  EXPECT_TRUE(view.DragTo(110, 95));
  EXPECT_EQ(view.View(), (PreviewRect{390, 330, 589, 479}));
  EXPECT_TRUE(view.DragTo(5000, 5000));
  EXPECT_EQ(view.View(), (PreviewRect{0, 0, 199, 149}));
  EXPECT_TRUE(view.DragTo(-9000, -9000));
  EXPECT_EQ(view.View(), (PreviewRect{800, 650, 999, 799}));

  view.EndDrag();
  EXPECT_FALSE(view.DragTo(0, 0));
  EXPECT_EQ(view.View(), (PreviewRect{800, 650, 999, 799}));
}

TEST(PreviewView, CentreKeptOrResetAndTheCallersRectangleShifted) {
  PreviewView view;
  CDib image;
  PreviewRect extent{0, 0, 999, 799};
  ASSERT_TRUE(view.SetImage(&image, extent, false, 200, 150));
  view.MoveView(-300, -200);  // as the dialog centres on the object
  PreviewRect again{10, 20, 1009, 819};
  ASSERT_TRUE(view.SetImage(&image, again, true, 200, 150));
  EXPECT_EQ(again, (PreviewRect{0, 0, 999, 799}));
  EXPECT_EQ(view.View(), (PreviewRect{100, 125, 299, 274}));
  PreviewRect reset{0, 0, 999, 799};
  ASSERT_TRUE(view.SetImage(&image, reset, false, 200, 150));
  EXPECT_EQ(view.View(), (PreviewRect{400, 325, 599, 474}));
}

TEST(PreviewView, PanningCanBeSwitchedOffAndATinyPaneHasNoPicture) {
  PreviewView view;
  CDib image;
  PreviewRect extent{0, 0, 999, 799};
  ASSERT_TRUE(view.SetImage(&image, extent, false, 200, 150));
  view.AllowPanning(false);
  EXPECT_FALSE(view.BeginDrag(1, 1));
  EXPECT_FALSE(view.DragTo(100, 100));
  EXPECT_EQ(view.View(), (PreviewRect{400, 325, 599, 474}));

  // A pane too small to hold a pixel inside its frame.
  PreviewRect small{0, 0, 999, 799};
  view.SetImage(&image, small, false, 2, 2);
  EXPECT_LE(view.ViewWidth(), 1);
  EXPECT_FALSE(view.SetImage(nullptr, small, false, 200, 150));
}

TEST(PreviewView, RenderPartGrowsTheViewOnALargeDocumentAndIsWholeOnASmallOne) {
  // 1920 x 1080 under a 700 x 500 view: the grown view covers most of it.
  DibRect part = PreviewRenderPart({600, 300, 1300, 800}, 1920, 1080);
  EXPECT_TRUE(IsWholeTarget(part, 1920, 1080));
  // 4000 x 3000: half the view's size more on every side.
  part = PreviewRenderPart({1600, 1200, 2300, 1700}, 4000, 3000);
  EXPECT_EQ(part.left, 1250);
  EXPECT_EQ(part.top, 950);
  EXPECT_EQ(part.right, 2650);
  EXPECT_EQ(part.bottom, 1950);
  EXPECT_FALSE(IsWholeTarget(part, 4000, 3000));
  // At a corner the part stops at the target's edges.
  part = PreviewRenderPart({0, 2500, 700, 3000}, 4000, 3000);
  EXPECT_EQ(part.left, 0);
  EXPECT_EQ(part.top, 2250);
  EXPECT_EQ(part.right, 1050);
  EXPECT_EQ(part.bottom, 3000);
  EXPECT_TRUE(IsWholeTarget(PreviewRenderPart({0, 0, 0, 0}, 4000, 3000), 4000, 3000))
      << "an empty view has nothing to go by";
}

TEST(PreviewPicture, ShownUnblurredOverTheBackgroundWithTransparentColourDropped) {
  CDib view;
  ASSERT_TRUE(view.Create(4, 3));
  // Neighbouring opaque pixels of very different colours: any blur shows.
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x)
      view.SetPixel(x, y, (x + y) % 2 ? 0xFF0000FFu : 0xFFFFFF00u);
  view.SetPixel(1, 1, 0x00FF0000u);  // transparent, still carrying red
  view.SetPixel(2, 1, 0x80FF0000u);  // half-transparent red

  CDib picture;
  ASSERT_TRUE(ComposePreviewPicture(view, 0x00FF00, picture));  // green background
  ASSERT_EQ(picture.Width(), 4);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x) {
      if (y == 1 && (x == 1 || x == 2)) continue;
      EXPECT_EQ(picture.PixelAt(x, y), view.PixelAt(x, y)) << x << "," << y;
    }
  EXPECT_EQ(picture.PixelAt(1, 1), 0xFF00FF00u);
  const uint32_t half = picture.PixelAt(2, 1);
  EXPECT_EQ(half >> 24, 0xFFu);
  EXPECT_GT((half >> 16) & 0xFFu, 0x70u);  // red from the pixel
  EXPECT_GT((half >> 8) & 0xFFu, 0x70u);   // green from the background
  EXPECT_EQ(half & 0xFFu, 0u);

  CDib empty;
  EXPECT_FALSE(ComposePreviewPicture(empty, 0xFFFFFF, picture));
}

}  // namespace
}  // namespace tessaro
