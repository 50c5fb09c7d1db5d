#include "scene/hsl_color.h"

#include <algorithm>

#include "image/numeric.h"

namespace tessaro {

namespace {
uint32_t Byte(uint32_t c, int i) { return (c >> (8 * i)) & 0xFFu; }

// One channel of the way back; the caller truncates.
double Channel(double m1, double m2, double h) {
  if (h > 360) {
    h -= 360;
  } else if (h < 0) {
    h += 360;
  }
  if (h < 60) return m1 + (m2 - m1) * h / 60;
  if (h < 180) return m2;
  if (h < 240) return m1 + (m2 - m1) * (240 - h) / 60;
  return m1;
}

uint32_t ToByte(double v) { return uint32_t(TruncateToInt32(v * 255)) & 0xFFu; }
}  // namespace

void HslColor::MakeHslValid() {
  if (hslValid_) return;
  const int c0 = int(Byte(colour_, 0)), c1 = int(Byte(colour_, 1)), c2 = int(Byte(colour_, 2));
  const int mx = std::max({c0, c1, c2}), mn = std::min({c0, c1, c2});
  lightness_ = double(mx + mn) / 510;
  if (mx == mn) {
    saturation_ = 0;
    hue_ = 0;
  } else {
    const double d = mx - mn;
    saturation_ = lightness_ <= 0.5 ? d / (mx + mn) : d / (510 - mx - mn);
    const double e0 = (mx - c0) / d, e1 = (mx - c1) / d, e2 = (mx - c2) / d;
    // Later matches override earlier ones when two channels share the maximum.
    if (c0 == mx) hue_ = (6 + e2 - e1) * 60;
    if (c1 == mx) hue_ = (2 + e0 - e2) * 60;
    if (c2 == mx) hue_ = (4 + e1 - e0) * 60;
    if (hue_ > 360) hue_ -= 360;
  }
  hslValid_ = true;
}

void HslColor::MakeColourValid() {
  if (colourValid_) return;
  uint32_t c0, c1, c2;
  if (saturation_ == 0) {
    c0 = c1 = c2 = ToByte(lightness_);
  } else {
    const double m2 = lightness_ <= 0.5 ? lightness_ * (1 + saturation_)
                                        : lightness_ + saturation_ - lightness_ * saturation_;
    const double m1 = 2 * lightness_ - m2;
    c0 = ToByte(Channel(m1, m2, hue_ + 120));
    c1 = ToByte(Channel(m1, m2, hue_));
    c2 = ToByte(Channel(m1, m2, hue_ - 120));
  }
  colour_ = (colour_ & 0xFF000000u) | (c2 << 16) | (c1 << 8) | c0;
  colourValid_ = true;
}

double HslColor::GetLightness() {
  MakeHslValid();
  return lightness_;
}

void HslColor::SetLightness(double lightness) {
  MakeHslValid();
  // NaN fails both tests and would pass through: it becomes 0.
  lightness_ = lightness > 1 ? 1 : (lightness >= 0 ? lightness : 0);
  colourValid_ = false;
}

uint32_t HslColor::GetColor() {
  MakeColourValid();
  return colour_;
}

}  // namespace tessaro
