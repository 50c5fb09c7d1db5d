// The about box's rolling credits without a window: the scroll position in
// quarter pixels, the drag with its leftover velocity, which lines show where
// and how faded, and how the text mask is laid over the logo.  The dialog
// (about_dlg_win) draws the lines' text with a platform font into the mask.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image/dib.h"

namespace tessaro {

class AboutScroller {
 public:
  // Mask units are quarter pixels: the text is drawn four times larger and
  // averaged down, which is what makes its edges and fades smooth.
  // The geometry at 96 DPI; other DPIs scale it, so the text keeps its
  // proportions to the picture, which grows with the dialog.
  static constexpr int32_t kUnits = 4;
  static constexpr int32_t kLineStep = 92;    // 23 pixels
  static constexpr int32_t kTextLeft = 72;    // 18 pixels
  static constexpr int32_t kFade = 128;       // 32 pixels at either end of the band
  static constexpr int32_t kBottomGap = 64;   // the band ends 16 pixels above the bottom
  static constexpr int32_t kLineHeight = 72;  // the font: lines of 18 pixels
  static constexpr int32_t kTextColumn = 10;  // the text shows from this column on

  // height: the picture's inner height in pixels.
  explicit AboutScroller(int32_t height = 0, int32_t dpi = 96) { Reset(height, dpi); }
  void Reset(int32_t height, int32_t dpi = 96);

  // Where the text starts again at the bottom; it never sits lower.
  int32_t StartPosition() const { return kUnits * height_ - bottomGap_; }
  int32_t LineStep() const { return lineStep_; }
  int32_t TextLeft() const { return textLeft_; }
  int32_t LineHeight() const { return lineHeight_; }
  int32_t TextColumn() const { return textColumn_; }
  int32_t Position() const { return position_; }
  int32_t Velocity() const { return velocity_; }
  bool Dragging() const { return anchor_ != -1; }

  // One 10 ms tick: the leftover velocity of an upward drag decays by 1.1,
  // and the text rises by one quarter pixel.
  void Tick();
  void Press(int32_t row) { anchor_ = row; }
  void Release() { anchor_ = -1; }
  // True when the text moved and the picture must be redrawn at once.
  bool Move(int32_t row);

  // Calls draw(index, top, blue) for every line of lineCount inside the band,
  // top in mask units, blue the line's colour (0..255, red and green 0);
  // then starts the text again from the bottom once the last line has left
  // the top.
  void ForEachVisibleLine(size_t lineCount,
                          const std::function<void(size_t, int32_t, int32_t)>& draw);

  // The line's brightness for a top at f: fading in at the bottom, out at
  // the top, 256 in between.
  int32_t FadeLevel(int32_t f) const;

 private:
  int32_t height_ = 0;
  int32_t lineStep_ = kLineStep, textLeft_ = kTextLeft, fade_ = kFade, bottomGap_ = kBottomGap;
  int32_t lineHeight_ = kLineHeight, textColumn_ = kTextColumn;
  int32_t position_ = 0;
  int32_t anchor_ = -1;
  int32_t velocity_ = 0;
};

// The credit lines in the order they roll; an empty text is a blank line.
const std::vector<std::string>& AboutCreditLines();

// Width of the text band: the left 150/185 of the picture.
int32_t AboutTextWidth(int32_t pictureWidth);

// working = clean with the text laid on: the large mask (kUnits times the
// band's size, coverage in its blue bytes) averaged down, each covered pixel
// from firstColumn on blended with dark grey by its coverage.  False when the
// reduced mask could not be had (the logo then shows without text).
bool ComposeAboutPicture(const CDib& clean, const CDib& largeMask, CDib& working,
                         int32_t firstColumn = AboutScroller::kTextColumn);

}  // namespace tessaro
