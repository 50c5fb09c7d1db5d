// The arithmetic of the skinned controls: where the slider's thumb sits and
// where a drag or a press moves it, the dial's angle under the pointer and its
// needle, the button's text colour and hover animation, and the painting that
// needs no fonts (slider body, dial picture, progress blocks).  The window
// classes (icon_slider_win, small_controls_win) only carry these results to
// the platform, so everything here is checked natively.
//
// Rectangles are client coordinates, left/top inclusive, right/bottom
// exclusive.  Colours are colour values 0x00BBGGRR.
#pragma once

#include <cstdint>

#include "image/dib.h"

namespace tessaro {

class CPaintSurface;

// ---- Icon slider ---------------------------------------------------------------

constexpr int32_t kSliderThumbLength = 36;
constexpr int32_t kSliderArrowSize = 20;  // 0: no arrow buttons
constexpr uint32_t kSliderDefaultColor = 0xC0C0C0;

// What the slider's arithmetic needs of the trackbar and the window.
struct SliderState {
  int32_t width, height;  // client size
  int32_t minimum, maximum, position, pageSize;
  int32_t arrowSize = kSliderArrowSize;
  int32_t thumbLength = kSliderThumbLength;
  int32_t dpi = 96;  // the chevrons' strokes grow with it
};

// The thumb for the current position; empty when the range is empty (or
// inverted, or the position lies outside it by more than the track allows).
DibRect SliderThumbRect(const SliderState& s);

// How far one press at x moves the position: -1 or +1 on the arrows, minus or
// plus the page size on the track either side of the thumb.  False when the
// press makes no step (on the thumb, or on the track with no page size).
bool SliderStepAt(const SliderState& s, int32_t x, int32_t& delta);

// The thumb centre minus the pointer's x when a drag starts on the thumb.
int32_t SliderDragOffset(const SliderState& s, int32_t pressX);

// The position that puts the thumb centre nearest to x + offset, within the
// range.  Keeps the current position when the track or range cannot map.
int32_t SliderDragPosition(const SliderState& s, int32_t x, int32_t offset);

// Everything of the slider but the value text: track, sunken frame, arrow
// buttons with chevrons and the styled thumb.  Uses the current button style;
// hovered lightens the thumb.  The caller draws the text into the thumb.
void PaintSliderBody(CPaintSurface& surface, const SliderState& s, uint32_t trackColor,
                     uint32_t thumbColor, bool hovered, bool enabled);

// ---- Light-direction dial ----------------------------------------------------------

// Whole degrees from the dial's centre to (x, y) in a client of width x height:
// 0 points right, angles grow counter-clockwise, -180..180.
int32_t DialDegreesAt(int32_t x, int32_t y, int32_t width, int32_t height);

// The needle for angle (radians) on the inner rectangle (client shrunk by 1):
// from (centerX, centerY) to (tipX, tipY), picture coordinates offset by the
// inner rectangle's origin as the dial draws them.
struct DialNeedle {
  int32_t centerX, centerY, tipX, tipY;
};
DialNeedle DialNeedleFor(const DibRect& inner, double angle, int32_t dpi = 96);

// Ring, needle, knob and the disc behind the value text, into picture (sized
// to the inner rectangle, cleared to background first).  textHalfWidth is half
// the width of the widest value text the disc must hold.
// Strokes, knob and margins are drawn for 96 DPI and grow with dpi.
void PaintDialPicture(CDib& picture, const DibRect& inner, double angle, uint32_t background,
                      uint32_t foreground, int32_t textHalfWidth, int32_t dpi = 96);

// ---- Buttons ---------------------------------------------------------------------

// A button's icon keeps this far from its left edge when text follows it.
constexpr int32_t kButtonIconGap = 4;

// Black on light colours, white on dark ones.
uint32_t ButtonTextColorFor(uint32_t color);

constexpr int32_t kHoverSteps = 5;

// The fade between normal and hover colour: Tick moves one step in the
// current direction and says whether the animation should keep running.
struct HoverAnimation {
  int32_t step = 0;       // 0..kHoverSteps
  int32_t direction = 0;  // -1, 0, +1
  bool Tick();
};

// Background colour for an animation step: normal at 0, hover at kHoverSteps.
uint32_t ButtonFaceColor(uint32_t background, uint32_t hoverBackground, int32_t step);

// The style painter's state and blend for a button.
struct ButtonLook {
  int32_t state;
  double blend;
};
ButtonLook ButtonLookFor(bool checked, bool pressed, bool hovered, int32_t step);

// ---- Progress bar ------------------------------------------------------------------

// Track, sunken frame and the blocks up to pos; always at least one block.
// Nothing when the range is empty or inverted.
void PaintProgressBar(CPaintSurface& surface, int32_t width, int32_t height, int32_t low,
                      int32_t high, int32_t pos, uint32_t trackColor, uint32_t barColor);

}  // namespace tessaro
