#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "image/dib.h"
#include "ui/dialog/about_scroller.h"
#include "tessaro_version.h"

namespace tessaro {
namespace {

struct Drawn {
  size_t index;
  int32_t top, blue;
};

std::vector<Drawn> Visible(AboutScroller& s, size_t lines) {
  std::vector<Drawn> out;
  s.ForEachVisibleLine(lines, [&](size_t i, int32_t top, int32_t blue) {
    out.push_back({i, top, blue});
  });
  return out;
}

TEST(AboutScroller, RisesAQuarterPixelATickAndStartsAgainAfterTheLastLine) {
  AboutScroller s(100);  // band bottom at 4 * 100 - 64 = 336
  EXPECT_EQ(s.Position(), 336);
  s.Tick();
  EXPECT_EQ(s.Position(), 335);
  // Three lines: the last has left the top once 92 * 3 + p - 92 < 0.
  while (s.Position() >= -184) s.Tick();
  EXPECT_EQ(s.Position(), -185);
  EXPECT_TRUE(Visible(s, 3).empty());
  EXPECT_EQ(s.Position(), 336);
  s.Tick();
  const std::vector<Drawn> again = Visible(s, 3);
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0].index, 0u);
  EXPECT_EQ(again[0].top, 335);
  EXPECT_EQ(again[0].blue, 2 * 1 * 255 / 256);
}

TEST(AboutScroller, LinesFadeAtBothEndsOfTheBandAndItsEdgesAreNotDrawn) {
  AboutScroller s(100);
  EXPECT_EQ(s.FadeLevel(335), 2);
  EXPECT_EQ(s.FadeLevel(209), 254);
  EXPECT_EQ(s.FadeLevel(208), 256);
  EXPECT_EQ(s.FadeLevel(128), 256);
  EXPECT_EQ(s.FadeLevel(127), 254);

  // Scroll until line 0 sits exactly at the top edge: not drawn.
  while (s.Position() > 0) s.Tick();
  std::vector<Drawn> v = Visible(s, 5);
  ASSERT_EQ(v.size(), 3u);  // tops 92, 184, 276; 368 is below the band
  EXPECT_EQ(v[0].index, 1u);
  EXPECT_EQ(v[0].top, 92);
  EXPECT_EQ(v[0].blue, 184 * 255 / 256);
  EXPECT_EQ(v[1].blue, 255);
  EXPECT_EQ(v[2].top, 276);
  EXPECT_EQ(v[2].blue, 2 * (336 - 276) * 255 / 256);

  // A line whose top is exactly the band's bottom is not drawn either.
  AboutScroller fresh(100);
  EXPECT_TRUE(Visible(fresh, 1).empty());
}

TEST(AboutScroller, QuickUpwardDragKeepsMovingWithDecayingVelocity) {
  AboutScroller s(100);
  s.Press(80);
  EXPECT_TRUE(s.Move(70));  // 10 rows up: 40 quarter pixels
  EXPECT_EQ(s.Position(), 296);
  s.Tick();  // still held: only the steady rise
  EXPECT_EQ(s.Position(), 295);
  s.Release();
  s.Tick();
  EXPECT_EQ(s.Position(), 295 - 40 - 1);
  EXPECT_EQ(s.Velocity(), 36);
  s.Tick();
  EXPECT_EQ(s.Position(), 254 - 36 - 1);
  EXPECT_EQ(s.Velocity(), 32);
}

TEST(AboutScroller, DownwardDragStopsAtTheStartAndLeavesNoMovement) {
  AboutScroller s(100);
  for (int i = 0; i < 20; ++i) s.Tick();
  s.Press(50);
  EXPECT_TRUE(s.Move(80));
  EXPECT_EQ(s.Position(), 336) << "never below the starting position";
  s.Release();
  s.Tick();
  EXPECT_EQ(s.Position(), 335);

  // A press on the first row anchors nothing.
  s.Press(0);
  EXPECT_FALSE(s.Move(-20));
  EXPECT_EQ(s.Position(), 335);
}

TEST(AboutPicture, TextBandCoverageDarkensTheLogoFromColumnTenOn) {
  constexpr int32_t kW = 40, kH = 12;
  const int32_t band = AboutTextWidth(kW);
  EXPECT_EQ(band, 32);
  CDib clean, mask, working;
  ASSERT_TRUE(clean.Create(kW, kH));
  clean.Fill(0xFFFFFFFFu);
  ASSERT_TRUE(mask.Create(band * 4, kH * 4));
  auto block = [&](int32_t x, int32_t y, int32_t filled) {
    for (int32_t k = 0; k < filled; ++k) mask.SetPixel(x * 4 + k % 4, y * 4 + k / 4, 0xFF0000FFu);
  };
  block(12, 2, 16);  // fully covered
  block(14, 2, 8);   // half covered: 127
  block(5, 2, 16);   // left of column 10: never drawn

  ASSERT_TRUE(ComposeAboutPicture(clean, mask, working));
  EXPECT_EQ(working.PixelAt(12, 2), 0xFF1E1E1Eu);
  const uint32_t half = working.PixelAt(14, 2);
  EXPECT_GT(half & 0xFFu, 0x1Eu);
  EXPECT_LT(half & 0xFFu, 0xFFu);
  EXPECT_EQ(working.PixelAt(5, 2), 0xFFFFFFFFu);
  EXPECT_EQ(working.PixelAt(12, 3), 0xFFFFFFFFu);
  EXPECT_EQ(clean.PixelAt(12, 2), 0xFFFFFFFFu) << "the clean copy stays clean";
}

TEST(AboutCredits, OpenWithTheProductAndTheVersionOfTheBuild) {
  // The about box says the version as people do: without a zero patch level.
  const std::string full = TESSARO_VERSION;
  ASSERT_EQ(std::count(full.begin(), full.end(), '.'), 2) << full;
  std::string said = full;
  if (said.compare(said.size() - 2, 2, ".0") == 0) said.resize(said.size() - 2);
  const std::vector<std::string>& lines = AboutCreditLines();
  ASSERT_EQ(lines.size(), 28u);
  EXPECT_EQ(lines.front(), "Tessaro " + said);
  EXPECT_EQ(lines.back(), "Thank you for using our Software!");
}

}  // namespace
}  // namespace tessaro
