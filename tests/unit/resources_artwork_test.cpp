#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "image/dib.h"
#include "image/pixel.h"
#include "resources/artwork_shapes.h"
#include "resources/icon_file.h"
#include "resources/toolkit_artwork.h"
#include "tests/support/icon_file_reader.h"

namespace tessaro::resources {
namespace {

using testing::IconFile;
using testing::ReadIconFile;

CDib Blank(int w, int h) {
  CDib d;
  d.Create(w, h);
  return d;
}

double CoveredArea(const CDib& d) {
  double sum = 0;
  for (int y = 0; y < d.Height(); ++y)
    for (int x = 0; x < d.Width(); ++x) sum += PixelAlpha(d.PixelAt(x, y)) / 255.0;
  return sum;
}

// ---- Shapes -----------------------------------------------------------------

TEST(ArtworkShapesTest, CoverageMatchesTheAreaWhateverTheCornerOrder) {
  CDib disc = Blank(24, 24);
  FillRegion(disc, Disc({12.3, 11.6}, 9.0), Solid(0xFF000000u));
  EXPECT_NEAR(CoveredArea(disc), 3.14159265 * 81, 1.0);

  const std::vector<Point> clockwise = {{2.25, 3.5}, {20.0, 5.0}, {9.0, 19.75}};
  const std::vector<Point> anticlockwise = {clockwise[2], clockwise[1], clockwise[0]};
  CDib a = Blank(24, 24), b = Blank(24, 24);
  FillRegion(a, Polygon(clockwise), Solid(0xFF000000u));
  FillRegion(b, Polygon(anticlockwise), Solid(0xFF000000u));
  const double area = std::fabs((20.0 - 2.25) * (19.75 - 3.5) - (9.0 - 2.25) * (5.0 - 3.5)) / 2;
  EXPECT_NEAR(CoveredArea(a), area, 0.5);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) ASSERT_EQ(a.PixelAt(x, y), b.PixelAt(x, y)) << x << "," << y;
}

TEST(ArtworkShapesTest, InsetMovesEveryEdgeInwardInEitherOrder) {
  const std::vector<Point> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  const std::vector<Point> reversed = {{0, 10}, {10, 10}, {10, 0}, {0, 0}};
  for (const auto& corners : {square, reversed}) {
    const std::vector<Point> in = InsetConvex(corners, 2.0);
    ASSERT_EQ(in.size(), 4u);
    for (const Point& p : in) {
      EXPECT_TRUE(std::fabs(p.x - 2) < 1e-9 || std::fabs(p.x - 8) < 1e-9) << p.x;
      EXPECT_TRUE(std::fabs(p.y - 2) < 1e-9 || std::fabs(p.y - 8) < 1e-9) << p.y;
    }
    const std::vector<Point> out = InsetConvex(corners, -1.0);
    for (const Point& p : out) EXPECT_TRUE(std::fabs(p.x + 1) < 1e-9 || std::fabs(p.x - 11) < 1e-9);
  }
}

TEST(ArtworkShapesTest, EdgesOnWholePixelsStaySharpAndOnlyCornersRound) {
  CDib d = Blank(16, 16);
  FillRegion(d, RoundedRect(2.0, 3.0, 14.0, 13.0, 2.5), Solid(0xFF204060u));
  EXPECT_EQ(d.PixelAt(8, 3), 0xFF204060u);   // along the top edge
  EXPECT_EQ(d.PixelAt(8, 2), 0u);            // just outside it
  EXPECT_EQ(d.PixelAt(13, 8), 0xFF204060u);  // along the right edge
  EXPECT_EQ(d.PixelAt(14, 8), 0u);
  EXPECT_LT(PixelAlpha(d.PixelAt(2, 3)), 128u);  // the corner is cut
  EXPECT_GT(PixelAlpha(d.PixelAt(2, 3)), 0u);
}

TEST(ArtworkShapesTest, StrokesHaveRoundEndsAndPaintingNeverErases) {
  CDib d = Blank(16, 16);
  d.Fill(0xFFFF0000u);
  FillRegion(d, Stroke({{4.0, 8.0}, {12.0, 8.0}}, 2.0), Solid(0xFF0000FFu));
  EXPECT_EQ(d.PixelAt(8, 7), 0xFF0000FFu);
  EXPECT_EQ(d.PixelAt(8, 8), 0xFF0000FFu);
  EXPECT_EQ(d.PixelAt(8, 6), 0xFFFF0000u);  // untouched, not erased by zero coverage
  EXPECT_EQ(d.PixelAt(1, 8), 0xFFFF0000u);
  // The round end reaches a pixel beyond the end point, but not all of it.
  const uint32_t end = d.PixelAt(12, 7);
  EXPECT_NE(end, 0xFFFF0000u);
  EXPECT_NE(end, 0xFF0000FFu);
}

// ---- The module's artwork -----------------------------------------------------

struct Decoded {
  std::string name;
  IconFile file;
};

std::vector<Decoded> DecodedArtwork() {
  std::vector<Decoded> all;
  for (const ArtworkFile& f : BuildArtworkFiles()) all.push_back({f.name, ReadIconFile(f.bytes)});
  return all;
}

TEST(ToolkitArtworkTest, EveryFileHasItsFormsAtItsSize) {
  const std::vector<Decoded> all = DecodedArtwork();
  ASSERT_EQ(all.size(), 7u);
  std::set<std::string> names;
  for (const Decoded& d : all) {
    SCOPED_TRACE(d.name);
    names.insert(d.name);
    const bool cursor = d.name.size() > 4 && d.name.substr(d.name.size() - 4) == ".cur";
    EXPECT_EQ(d.file.type, cursor ? 2 : 1);
    EXPECT_TRUE(d.file.imagesTileFile);
    // One size per DPI step, the 96-DPI size first; icons in two depths.
    const int(&sizes)[3] = cursor ? kCursorSizes
                           : d.name == "warning.ico" || d.name == "question.ico" ? kMessageIconSizes
                                                                                : kSmallIconSizes;
    const size_t forms = cursor ? 1 : 2;
    ASSERT_EQ(d.file.images.size(), 3 * forms);
    for (size_t i = 0; i < d.file.images.size(); ++i) {
      const auto& image = d.file.images[i];
      const int size = sizes[i / forms];
      EXPECT_TRUE(image.complete);
      EXPECT_EQ(image.Width(), size);
      EXPECT_EQ(image.Height(), size);
      if (cursor) {
        EXPECT_EQ(d.file.entries[i].planesOrHotX, EyedropperHotSpotFor(size).x);
        EXPECT_EQ(d.file.entries[i].bitCountOrHotY, EyedropperHotSpotFor(size).y);
      } else {
        EXPECT_EQ(image.bitCount, i % 2 == 0 ? 8 : 32);
      }
    }
    if (cursor) {
      EXPECT_EQ(d.file.entries[0].planesOrHotX, kEyedropperHotX);
      EXPECT_EQ(d.file.entries[0].bitCountOrHotY, kEyedropperHotY);
    }
  }
  EXPECT_EQ(names.size(), all.size());
}

TEST(ToolkitArtworkTest, PaletteFormsLookLikeTheBlendedForms) {
  for (const Decoded& d : DecodedArtwork()) {
    if (d.file.type != 1) continue;
    SCOPED_TRACE(d.name);
    ASSERT_EQ(d.file.images.size() % 2, 0u);
    for (size_t form = 0; form < d.file.images.size(); form += 2) {
      const auto& palette = d.file.images[form];
      const auto& alpha = d.file.images[form + 1];
      for (size_t i = 0; i < alpha.colours.size(); ++i) {
        const uint32_t p = alpha.colours[i];
        ASSERT_EQ(palette.masked[i], PixelAlpha(p) < 128) << form << " " << i;
        if (palette.masked[i]) continue;
        const uint32_t q = palette.colours[i];
        for (int shift = 0; shift <= 16; shift += 8)
          ASSERT_LE(std::abs(int((p >> shift) & 0xFFu) - int((q >> shift) & 0xFFu)), 10) << i;
      }
    }
  }
}

// Nothing is cut off at the picture's edge: a clipped shape would leave solid
// pixels there.
void ExpectRoomAtTheEdges(const CDib& d) {
  const int n = d.Width();
  for (int i = 0; i < n; ++i) {
    EXPECT_LT(PixelAlpha(d.PixelAt(i, 0)), 128u) << i;
    EXPECT_LT(PixelAlpha(d.PixelAt(i, n - 1)), 128u) << i;
    EXPECT_LT(PixelAlpha(d.PixelAt(0, i)), 128u) << i;
    EXPECT_LT(PixelAlpha(d.PixelAt(n - 1, i)), 128u) << i;
  }
}

bool Orange(uint32_t p) {
  return PixelAlpha(p) == 255 && PixelRed(p) > 220 && PixelGreen(p) > 110 && PixelBlue(p) < 90;
}
bool Dark(uint32_t p) {
  return PixelAlpha(p) == 255 && PixelRed(p) < 60 && PixelGreen(p) < 60 && PixelBlue(p) < 60;
}
bool White(uint32_t p) { return p == 0xFFFFFFFFu; }

TEST(ToolkitArtworkTest, WarningIsADarkMarkOnAnOrangeTriangle) {
  const CDib d = DrawWarningSign();
  ASSERT_EQ(d.Width(), kMessageIconSize);
  ExpectRoomAtTheEdges(d);
  EXPECT_EQ(PixelAlpha(d.PixelAt(4, 8)), 0u);  // beside the apex
  EXPECT_EQ(PixelAlpha(d.PixelAt(33, 8)), 0u);
  EXPECT_TRUE(Orange(d.PixelAt(19, 7)));       // below the apex
  EXPECT_TRUE(Orange(d.PixelAt(9, 31)));       // the lower corners
  EXPECT_TRUE(Orange(d.PixelAt(29, 31)));
  EXPECT_TRUE(Dark(d.PixelAt(19, 16)));        // the bar
  EXPECT_TRUE(Orange(d.PixelAt(19, 26)));      // the gap
  EXPECT_TRUE(Dark(d.PixelAt(19, 29)));        // the dot
}

TEST(ToolkitArtworkTest, QuestionIsAWhiteMarkOnABlueDisc) {
  const CDib d = DrawQuestionDisc();
  ASSERT_EQ(d.Width(), kMessageIconSize);
  ExpectRoomAtTheEdges(d);
  EXPECT_EQ(PixelAlpha(d.PixelAt(3, 3)), 0u);
  const uint32_t face = d.PixelAt(8, 22);
  EXPECT_EQ(PixelAlpha(face), 255u);
  EXPECT_GT(PixelBlue(face), PixelRed(face) + 80);
  EXPECT_TRUE(White(d.PixelAt(19, 28)));  // the dot
  EXPECT_TRUE(White(d.PixelAt(19, 9)));   // the top of the hook
  EXPECT_FALSE(White(d.PixelAt(19, 25)));  // the gap above the dot
}

TEST(ToolkitArtworkTest, CheckBoxesDifferOnlyByTheTickInside) {
  const CDib on = DrawCheckBox(true), off = DrawCheckBox(false);
  ExpectRoomAtTheEdges(on);
  int ticked = 0;
  for (int y = 0; y < kSmallIconSize; ++y) {
    for (int x = 0; x < kSmallIconSize; ++x) {
      const bool inside = x >= 2 && x < 14 && y >= 2 && y < 14;
      const bool corner = (x == 2 || x == 13) && (y == 2 || y == 13);  // the frame rounds in
      if (!inside || corner) {
        EXPECT_EQ(on.PixelAt(x, y), off.PixelAt(x, y)) << x << "," << y;
        continue;
      }
      const uint32_t p = off.PixelAt(x, y);
      EXPECT_TRUE(PixelAlpha(p) == 255 && PixelRed(p) > 200 && PixelGreen(p) > 200) << x << "," << y;
      if (on.PixelAt(x, y) != p) ++ticked;
    }
  }
  EXPECT_GT(ticked, 15);
}

// The mirror image of a picture, across its vertical centre line.
bool MirrorSymmetric(const CDib& d, int tolerance) {
  for (int y = 0; y < d.Height(); ++y)
    for (int x = 0; x < d.Width(); ++x)
      if (std::abs(int(PixelAlpha(d.PixelAt(x, y))) -
                   int(PixelAlpha(d.PixelAt(d.Width() - 1 - x, y)))) > tolerance)
        return false;
  return true;
}

TEST(ToolkitArtworkTest, CaptionGlyphsAreCentredAndWhiteOnARim) {
  const CDib close = DrawCloseGlyph(), menu = DrawMenuGlyph();
  for (const CDib* d : {&close, &menu}) {
    ExpectRoomAtTheEdges(*d);
    EXPECT_TRUE(MirrorSymmetric(*d, 2));
  }
  EXPECT_TRUE(White(close.PixelAt(7, 7)));  // where the strokes cross
  EXPECT_TRUE(White(close.PixelAt(5, 5)));
  EXPECT_EQ(PixelAlpha(close.PixelAt(7, 3)), 0u);
  EXPECT_GT(PixelAlpha(close.PixelAt(7, 5)), 128u);  // the rim between the arms
  EXPECT_FALSE(White(close.PixelAt(7, 5)));
  // The chevron points down: white at its lowest middle, not above it.
  EXPECT_TRUE(White(menu.PixelAt(7, 9)) || White(menu.PixelAt(8, 9)));
  EXPECT_FALSE(White(menu.PixelAt(7, 6)) || White(menu.PixelAt(8, 6)));
}

TEST(ToolkitArtworkTest, EyedropperTipIsTheHotSpot) {
  const CDib d = DrawEyedropper();
  ASSERT_EQ(d.Width(), kCursorSize);
  const uint32_t tip = d.PixelAt(kEyedropperHotX, kEyedropperHotY);
  EXPECT_GE(PixelAlpha(tip), 200u);
  EXPECT_TRUE(PixelRed(tip) < 60 && PixelGreen(tip) < 60 && PixelBlue(tip) < 60);
  // No solid pixel lies further towards the bottom left than the tip, and
  // the pipette rises to the top right corner.
  int farthest = 0;
  for (int y = 0; y < kCursorSize; ++y)
    for (int x = 0; x < kCursorSize; ++x) {
      if (PixelAlpha(d.PixelAt(x, y)) < 128) continue;
      const int along = (x - kEyedropperHotX) + (kEyedropperHotY - y);
      EXPECT_GE(along, 0) << x << "," << y;
      farthest = std::max(farthest, along);
    }
  EXPECT_GE(farthest, 48);
}

// The larger sizes are the same drawings: the double size, averaged over each
// 2 x 2 block, is the first size, and a 1.5 times size keeps room at its edges.
TEST(ToolkitArtworkTest, LargerSizesAreTheSameDrawingsScaled) {
  struct Case {
    const char* name;
    CDib (*draw)(int);
    int base;
    bool roomAtEdges;  // the eyedropper's tip is at its edge
  };
  const Case cases[] = {
      {"warning", [](int n) { return DrawWarningSign(n); }, kMessageIconSize, true},
      {"check", [](int n) { return DrawCheckBox(true, n); }, kSmallIconSize, true},
      {"close", [](int n) { return DrawCloseGlyph(n); }, kSmallIconSize, true},
      {"eyedropper", [](int n) { return DrawEyedropper(n); }, kCursorSize, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CDib small = c.draw(c.base), large = c.draw(2 * c.base), between = c.draw(c.base * 3 / 2);
    ASSERT_EQ(large.Width(), 2 * c.base);
    ASSERT_EQ(between.Width(), c.base * 3 / 2);
    if (c.roomAtEdges) ExpectRoomAtTheEdges(between);
    int far = 0;
    for (int y = 0; y < c.base; ++y)
      for (int x = 0; x < c.base; ++x) {
        int sum = 0;
        for (int k = 0; k < 4; ++k)
          sum += int(PixelAlpha(large.PixelAt(2 * x + k % 2, 2 * y + k / 2)));
        if (std::abs(sum / 4 - int(PixelAlpha(small.PixelAt(x, y)))) > 40) ++far;
      }
    EXPECT_LE(far, c.base * c.base / 50) << "pixels unlike the first size";
  }
  for (int size : kCursorSizes) {
    const CDib d = DrawEyedropper(size);
    const EyedropperHotSpot hot = EyedropperHotSpotFor(size);
    const uint32_t tip = d.PixelAt(hot.x, hot.y);
    EXPECT_GE(PixelAlpha(tip), 200u) << size;
    EXPECT_LT(PixelRed(tip), 60u) << size;
  }
}

}  // namespace
}  // namespace tessaro::resources
