// The interface settings every window of the plug-in takes its look from, the
// colour arithmetic the controls share, and the style painter that turns a
// rectangle, a colour and a state into a styled bar (buttons, caption bars,
// slider thumbs, progress blocks).
//
// Colours here are colour values 0x00BBGGRR.  Mixing two colour values is
// MixColor (image/pixel.h): it mixes the three low bytes independently, so the
// byte order of the two colour forms makes no difference to it.
//
// The settings and the border table are process-wide and belong to the
// user-interface thread.
#pragma once

#include <array>
#include <cstdint>

#include "image/dib.h"
#include "ui/dialog/paint_surface.h"

namespace tessaro {

// Stored button styles with a defined look.  Values 1..10 are gradient styles
// as well (9 is the chrome look); anything else paints no fill.
constexpr int32_t kButtonStyleFlat = 0;
constexpr int32_t kButtonStyleChrome = 9;
constexpr int32_t kButtonStyleAqua = 100;

constexpr int32_t kDefaultButtonStyle = kButtonStyleAqua;
constexpr uint32_t kDefaultWindowColor = 0xEAEAEA;
constexpr uint32_t kDefaultControlColor = 0xFFD7AE;
constexpr int32_t kDefaultStripeContrast = 4;

struct InterfaceSettings {
  int32_t buttonStyle;
  uint32_t windowColor;   // background of every dialog
  uint32_t controlColor;  // buttons, slider thumbs, progress blocks, caption bar
  int32_t stripeContrast; // background pin-stripes
  uint32_t controlLight;  // derived: controlColor shaded by +16
  uint32_t frameColor;    // derived: the window colour; outer borders use it
};

const InterfaceSettings& GetInterfaceSettings();
void SetButtonStyle(int32_t style);
// Colours are kept without their top byte; the derived colours follow.
void SetWindowColor(uint32_t color);
void SetControlColor(uint32_t color);
// Button style, window and control colour back to their defaults (the stripe
// contrast is not a colour and stays).
void ResetInterfaceColors();

// Adds amount to each of red, green and blue, each limited to 0..255; the
// result has no top byte.
uint32_t ShadeColor(uint32_t color, int32_t amount);

// Shade amounts of the frames one state draws, from the outside in.  A
// top-left value of 0 means the state has no such frame and the fill takes its
// place; kBorderGap also draws no frame but leaves its place empty.
struct BorderShades {
  int32_t outerTopLeft, outerBottomRight;
  int32_t middleTopLeft, middleBottomRight;
  int32_t innerTopLeft, innerBottomRight;
};
constexpr int32_t kBorderGap = 666;

// Indexed by state: 0 normal, 1 hovered, 2 pressed.
using BorderTable = std::array<BorderShades, 3>;

BorderTable DefaultBorderTable();
const BorderTable& GetBorderTable();
void SetBorderTable(const BorderTable& table);
void ResetBorderTable();  // at the start of every filter run

// Controls with a look of their own swap in their table for one paint.
class CScopedBorderTable {
 public:
  explicit CScopedBorderTable(const BorderTable& table) : saved_(GetBorderTable()) {
    SetBorderTable(table);
  }
  ~CScopedBorderTable() { SetBorderTable(saved_); }
  CScopedBorderTable(const CScopedBorderTable&) = delete;
  CScopedBorderTable& operator=(const CScopedBorderTable&) = delete;

 private:
  BorderTable saved_;
};

// Paints rect in the current button style with colour color and the frames of
// state (clamped to 0..2).  In state 1 the frame shades are blended from the
// normal state's (blend 0) to the hovered state's (blend 1), for the hover
// animation; blend is limited to 0..1 and ignored in the other states.
void DrawStyledBar(CPaintSurface& surface, const DibRect& rect, uint32_t color, int32_t state,
                   double blend);

}  // namespace tessaro
