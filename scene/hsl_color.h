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

// The lightness path's round trip in one step: HslColor of colour, its
// lightness moved towards 1 by intensity / 255 (intensity > 0) or towards 0 by
// -intensity / 255, limited to 0..1, and back; bit for bit what the class
// gives, with only the quotients the hue needs and no state.
uint32_t ShiftLightness(uint32_t colour, double intensity);

}  // namespace tessaro
