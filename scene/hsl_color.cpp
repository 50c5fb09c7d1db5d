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

uint32_t ShiftLightness(uint32_t colour, double intensity) {
  const int c0 = int(Byte(colour, 0)), c1 = int(Byte(colour, 1)), c2 = int(Byte(colour, 2));
  const int mx = std::max({c0, c1, c2}), mn = std::min({c0, c1, c2});
  double l = double(mx + mn) / 510;
  double saturation = 0, hue = 0;
  if (mx != mn) {
    const double d = mx - mn;
    saturation = l <= 0.5 ? d / (mx + mn) : d / (510 - mx - mn);
    // The last channel holding the maximum decides, as in MakeHslValid.
    if (c2 == mx) {
      hue = (4 + (mx - c1) / d - (mx - c0) / d) * 60;
    } else if (c1 == mx) {
      hue = (2 + (mx - c0) / d - (mx - c2) / d) * 60;
    } else {
      hue = (6 + (mx - c2) / d - (mx - c1) / d) * 60;
    }
    if (hue > 360) hue -= 360;
  }
  l = intensity > 0 ? l + (1 - l) * intensity / 255 : l - (-intensity) * l / 255;
  l = l > 1 ? 1 : (l >= 0 ? l : 0);
  uint32_t r0, r1, r2;
  if (saturation == 0) {
    r0 = r1 = r2 = ToByte(l);
  } else {
    const double m2 = l <= 0.5 ? l * (1 + saturation) : l + saturation - l * saturation;
    const double m1 = 2 * l - m2;
    r0 = ToByte(Channel(m1, m2, hue + 120));
    r1 = ToByte(Channel(m1, m2, hue));
    r2 = ToByte(Channel(m1, m2, hue - 120));
  }
  return (colour & 0xFF000000u) | (r2 << 16) | (r1 << 8) | r0;
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
