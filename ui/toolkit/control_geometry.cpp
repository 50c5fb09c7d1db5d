#include "ui/toolkit/control_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "image/pixel.h"
#include "image/portable_math.h"
#include "image/rounding.h"
#include "ui/dialog/interface_styles.h"
#include "ui/dialog/paint_surface.h"

namespace tessaro {

namespace {

constexpr DibRect kEmpty = {0, 0, 0, 0};

int32_t ToInt32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Opaque pixel for a colour value, for drawing on images.
uint32_t OpaquePixel(uint32_t color) { return 0xFF000000u | SwapRedBlue(color & 0xFFFFFFu); }

// A one-pixel line as the platform's pen draws it: the start pixel included,
// the end pixel left out, so joined segments share their corners.  Only the
// straight and 45-degree lines the chevrons use.
void DrawPenLine(CPaintSurface& surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                 uint32_t color) {
  const int32_t dx = x1 - x0, dy = y1 - y0;
  const int32_t n = std::max(std::abs(dx), std::abs(dy));
  const int32_t sx = dx == 0 ? 0 : (dx > 0 ? 1 : -1), sy = dy == 0 ? 0 : (dy > 0 ? 1 : -1);
  for (int32_t k = 0; k < n; ++k) {
    const int32_t x = x0 + k * sx, y = y0 + k * sy;
    surface.FillRect({x, y, x + 1, y + 1}, color);
  }
}

// The thumb and the progress blocks carry only a two-shade outer frame.
BorderTable OuterFrameOnly() {
  const BorderShades s = {-48, 64, 0, 0, 0, 0};
  return {{s, s, s}};
}

}  // namespace

// ---- Icon slider ---------------------------------------------------------------

DibRect SliderThumbRect(const SliderState& s) {
  if (s.maximum <= s.minimum) return kEmpty;
  const int64_t a = s.arrowSize, t = s.thumbLength;
  const int64_t travel = int64_t(s.width) - 2 * a - 2 - t;
  const int64_t left =
      a + (int64_t(s.position) - s.minimum) * travel / (int64_t(s.maximum) - s.minimum) + 1;
  return {ToInt32(left), 1, ToInt32(left + t), ToInt32(int64_t(s.height) - 1)};
}

bool SliderStepAt(const SliderState& s, int32_t x, int32_t& delta) {
  const int64_t a = s.arrowSize;
  if (x < a) {
    delta = -1;
    return true;
  }
  if (int64_t(x) > int64_t(s.width) - a) {
    delta = 1;
    return true;
  }
  const DibRect thumb = SliderThumbRect(s);
  if (x >= thumb.left && x < thumb.right) return false;
  if (s.pageSize == 0) return false;
  delta = x < thumb.left ? -s.pageSize : s.pageSize;
  return true;
}

int32_t SliderDragOffset(const SliderState& s, int32_t pressX) {
  const DibRect thumb = SliderThumbRect(s);
  return ToInt32((int64_t(thumb.left) + thumb.right) / 2 - pressX);
}

int32_t SliderDragPosition(const SliderState& s, int32_t x, int32_t offset) {
  const int64_t a = s.arrowSize, half = s.thumbLength / 2;
  const int64_t travel = int64_t(s.width) - 2 * a - s.thumbLength;
  if (travel <= 0 || s.maximum <= s.minimum) return s.position;
  const int64_t centre = std::max(int64_t(x) + offset, a + half);
  const int64_t along = std::min(int64_t(s.width) - a - half, centre) - (a + half);
  // With an odd thumb the far end may lie one pixel past the travel.
  const int64_t span = int64_t(s.maximum) - s.minimum;
  const int64_t pos = s.minimum + span * along / travel;
  return ToInt32(std::clamp<int64_t>(pos, s.minimum, s.maximum));
}

void PaintSliderBody(CPaintSurface& surface, const SliderState& s, uint32_t trackColor,
                     uint32_t thumbColor, bool hovered, bool enabled) {
  const int32_t w = s.width, h = s.height;
  const DibRect client = {0, 0, w, h};
  surface.FillRect(client, s.thumbLength == 0 ? thumbColor : trackColor);
  surface.Draw3dRect(client, ShadeColor(trackColor, -64), ShadeColor(trackColor, 64));

  if (s.arrowSize != 0) {
    const int32_t a = s.arrowSize;
    const DibRect left = {1, 1, std::min(1 + a, w - 1), h - 1};
    const DibRect right = {std::max(w - 1 - a, 1), 1, w - 1, h - 1};
    for (const DibRect& b : {left, right}) {
      surface.FillRect(b, trackColor);
      surface.Draw3dRect(b, ShadeColor(trackColor, 48), ShadeColor(trackColor, -48));
    }
    const int32_t d = (a - 2) / 2, cy = (1 + (h - 1) - 1) / 2;
    DrawPenLine(surface, d + 2, cy - 2, d, cy, 0);
    DrawPenLine(surface, d, cy, d + 3, cy + 3, 0);
    const int32_t l = right.left;
    DrawPenLine(surface, l + d, cy - 2, l + d + 2, cy, 0);
    DrawPenLine(surface, l + d + 2, cy, l + d - 1, cy + 3, 0);
  }

  const uint32_t c = hovered ? ShadeColor(thumbColor, 16) : (thumbColor & 0xFFFFFFu);
  const DibRect thumb = SliderThumbRect(s);
  if (s.thumbLength != 0) {
    CScopedBorderTable table(OuterFrameOnly());
    DrawStyledBar(surface, thumb, c, 0, 0.0);
  }
  if (enabled) surface.Draw3dRect(thumb, ShadeColor(c, 64), ShadeColor(c, -64));
}

// ---- Light-direction dial ----------------------------------------------------------

int32_t DialDegreesAt(int32_t x, int32_t y, int32_t width, int32_t height) {
  const double dx = double(x) - double(width) / 2.0;
  const double dy = (double(height) + 0.5) / 2.0 - double(y);
  if (dx == 0.0 && dy == 0.0) return 0;
  // Stored as radians and shown as whole degrees: the same rounding as the
  // settings' own conversion keeps dial, store and scripting in step.
  return RadiansToDegrees(PortableAtan2(dy, dx));
}

DialNeedle DialNeedleFor(const DibRect& inner, double angle) {
  const int32_t l = inner.left, t = inner.top, r = inner.right, b = inner.bottom;
  DialNeedle n;
  n.centerX = (l + r - 1) / 2 - 1;
  n.centerY = (t + b - 1) / 2 - 1;
  const double rx = double((r - l) / 2) - 4.5, ry = double((b - t) / 2) - 4.5;
  const double c = std::isfinite(angle) ? PortableCos(angle) : 1.0;
  const double sn = std::isfinite(angle) ? PortableSin(angle) : 0.0;
  n.tipX = RoundHalfAwayFromZero(double((l + r - 2) / 2) + c * rx);
  n.tipY = RoundHalfAwayFromZero(double((t + b - 2) / 2) - sn * ry);
  return n;
}

void PaintDialPicture(CDib& picture, const DibRect& inner, double angle, uint32_t background,
                      uint32_t foreground, int32_t textHalfWidth) {
  const int32_t l = inner.left, t = inner.top, r = inner.right, b = inner.bottom;
  if (r - l <= 0 || b - t <= 0 || !picture.Create(r - l, b - t)) return;
  const uint32_t bg = OpaquePixel(background), fg = OpaquePixel(foreground);
  picture.Fill(bg);
  picture.DrawEllipseRing(l + 3, t + 3, r - 6, b - 6, fg, 1);
  const DialNeedle n = DialNeedleFor(inner, angle);
  picture.DrawLine(n.centerX, n.centerY, n.tipX - 1, n.tipY - 1, fg, 1);
  picture.FillEllipse(n.tipX - 4, n.tipY - 4, n.tipX + 2, n.tipY + 2, fg);
  const int32_t e = std::clamp(textHalfWidth, 0, 10000) + 5;
  picture.FillEllipse(n.centerX - e, n.centerY - e, n.centerX + e, n.centerY + e, bg);
}

// ---- Buttons ---------------------------------------------------------------------

uint32_t ButtonTextColorFor(uint32_t color) {
  const uint32_t red = color & 0xFFu, green = (color >> 8) & 0xFFu, blue = (color >> 16) & 0xFFu;
  return (red > 142 || green >= 112 || blue >= 250) ? 0x000000u : 0xFFFFFFu;
}

bool HoverAnimation::Tick() {
  if (direction == 0) return false;
  step += direction;
  if (step < 0) {
    step = 0;
    return false;
  }
  if (step > kHoverSteps) {
    step = kHoverSteps;
    return false;
  }
  return true;
}

uint32_t ButtonFaceColor(uint32_t background, uint32_t hoverBackground, int32_t step) {
  const uint32_t k = uint32_t(std::clamp(step, 0, kHoverSteps));
  uint32_t result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t p = (background >> shift) & 0xFFu, q = (hoverBackground >> shift) & 0xFFu;
    result |= ((p * (kHoverSteps - k) + q * k) / kHoverSteps) << shift;
  }
  return result;
}

ButtonLook ButtonLookFor(bool checked, bool pressed, bool hovered, int32_t step) {
  if (checked != pressed) return {2, 0.0};
  if (hovered) return {1, double(std::clamp(step, 0, kHoverSteps)) / kHoverSteps};
  return {0, 0.0};
}

// ---- Progress bar ------------------------------------------------------------------

void PaintProgressBar(CPaintSurface& surface, int32_t width, int32_t height, int32_t low,
                      int32_t high, int32_t pos, uint32_t trackColor, uint32_t barColor) {
  if (high <= low || width <= 0 || height <= 0) return;
  surface.FillRect({0, 0, width, height}, trackColor);
  surface.Draw3dRect({0, 0, width, height}, ShadeColor(trackColor, -64),
                     ShadeColor(trackColor, 64));
  const int64_t p = std::clamp(pos, low, high);
  const int64_t end = 2 + (p - low) * (int64_t(width) - 2) / (int64_t(high) - low);
  const uint32_t c = ShadeColor(barColor, -64);
  CScopedBorderTable table(OuterFrameOnly());
  DibRect block = {2, 2, std::min(12, width - 2), height - 2};
  do {
    DrawStyledBar(surface, block, c, 0, 0.0);
    block.left += 10;
    block.right = std::min(block.right + 10, width - 2);
  } while (block.left < end && block.left < width - 2);
}

}  // namespace tessaro
