// A colour with its hue, saturation and lightness, converted on demand in
// either direction.  Used to brighten or darken the side texture while
// keeping each pixel's hue.
#pragma once

#include <cstdint>

namespace tessaro {

class HslColor {
 public:
  // Bytes 0-2 are converted; the top byte is carried along untouched.
  explicit HslColor(uint32_t colour) : colour_(colour) {}

  double GetLightness();
  // Limited to 0..1.
  void SetLightness(double lightness);
  uint32_t GetColor();

  double Hue() {
    MakeHslValid();
    return hue_;
  }
  double Saturation() {
    MakeHslValid();
    return saturation_;
  }

 private:
  void MakeHslValid();
  void MakeColourValid();

  uint32_t colour_;
  double hue_ = 0, saturation_ = 0, lightness_ = 0;
  bool colourValid_ = true;
  bool hslValid_ = false;
};

}  // namespace tessaro
