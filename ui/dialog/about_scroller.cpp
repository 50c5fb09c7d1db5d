#include "ui/dialog/about_scroller.h"

#include <algorithm>

#include "settings/product_identity.h"
#include "tessaro_version.h"
#include "ui/toolkit/skin_metrics.h"

namespace tessaro {

void AboutScroller::Reset(int32_t height, int32_t dpi) {
  height_ = std::max(height, 0);
  const auto z = [dpi](int32_t v) { return ScaleToDpi(v, dpi); };
  lineStep_ = z(kLineStep);
  textLeft_ = z(kTextLeft);
  fade_ = z(kFade);
  bottomGap_ = z(kBottomGap);
  lineHeight_ = z(kLineHeight);
  textColumn_ = z(kTextColumn);
  position_ = StartPosition();
  anchor_ = -1;
  velocity_ = 0;
}

void AboutScroller::Tick() {
  if (!Dragging() && velocity_ > 0) {
    position_ -= velocity_;
    velocity_ = int32_t(velocity_ / 1.1);
  }
  position_ -= 1;
}

bool AboutScroller::Move(int32_t row) {
  // Row 0 never anchors a drag: a press on the first row only clicks.
  if (anchor_ <= 0) return false;
  const int32_t d = kUnits * (anchor_ - row);
  position_ = std::min(position_ - d, StartPosition());
  velocity_ = d;
  anchor_ = row;
  return true;
}

int32_t AboutScroller::FadeLevel(int32_t f) const {
  const int32_t bottom = StartPosition();
  // Over the fade's length the level climbs to 256.
  const auto ramp = [this](int32_t d) { return int32_t(int64_t(d) * 256 / fade_); };
  if (f > bottom - fade_) return ramp(bottom - f);
  if (f >= fade_) return 256;
  return ramp(f);
}

void AboutScroller::ForEachVisibleLine(
    size_t lineCount, const std::function<void(size_t, int32_t, int32_t)>& draw) {
  const int32_t bottom = StartPosition();
  for (size_t i = 0; i < lineCount; ++i) {
    const int64_t f = int64_t(lineStep_) * int64_t(i) + position_;
    if (f > 0 && f < bottom) draw(i, int32_t(f), FadeLevel(int32_t(f)) * 255 / 256);
  }
  if (int64_t(lineStep_) * int64_t(lineCount) + position_ - lineStep_ < 0) position_ = bottom;
}

const std::vector<std::string>& AboutCreditLines() {
  static const std::vector<std::string> lines = {
      std::string(kProductName) + " " + TESSARO_VERSION_SHORT,
      "",
      "Published by",
      "   Quelmark Ltd",
      "",
      "Home page",
      "   the link at the foot of the main dialog",
      "",
      "Programming and design",
      "   The Tessaro team",
      "",
      "Code contributions",
      "   Relief renderer, resampling and skin",
      "   by the Tessaro developers",
      "",
      "Photo",
      "   Sample picture drawn for Tessaro",
      "",
      "Made with care, pixel by pixel",
      "",
      "Change Log",
      "   Version 2.0",
      "",
      "   - 64-bit version added",
      "   - Added support of Smart Objects",
      "   - Interface improved",
      "",
      "Thank you for using our Software!",
  };
  return lines;
}

int32_t AboutTextWidth(int32_t pictureWidth) {
  return int32_t(int64_t(std::max(pictureWidth, 0)) * 150 / 185);
}

bool ComposeAboutPicture(const CDib& clean, const CDib& largeMask, CDib& working,
                         int32_t firstColumn) {
  clean.CopyTo(working);
  const int32_t w = largeMask.Width() / AboutScroller::kUnits;
  const int32_t h = largeMask.Height() / AboutScroller::kUnits;
  if (w <= 0 || h <= 0) return true;  // no band: the logo alone
  CDib reduced;
  if (!reduced.Create(w, h)) return false;
  largeMask.Downsample(reduced, {0, 0, w, h});
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = std::max(firstColumn, 0); x < w; ++x) {
      const uint32_t a = reduced.PixelAt(x, y) & 0xFFu;
      if (a > 0) working.BlendPixel(x, y, (a << 24) | 0x1E1E1Eu);
    }
  }
  return true;
}

}  // namespace tessaro
