#include "ui/toolkit/frame_layout.h"

#include <algorithm>
#include <cstdint>

#include "ui/dialog/interface_styles.h"
#include "ui/dialog/paint_surface.h"
#include "ui/toolkit/skin_metrics.h"

namespace tessaro {

namespace {

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// The anchored point along one axis: product first, then a truncating
// division, so every dialog lays out to the same pixel on every build.
int64_t AnchorOffset(int32_t extent, int32_t percent) {
  return int64_t(extent) * int64_t(percent) / 100;
}

}  // namespace

AnchoredPlacement MeasureAnchoredControl(ClientSize client, const DibRect& control,
                                         Anchor topLeft, Anchor bottomRight) {
  if (IsNoAnchor(bottomRight)) bottomRight = topLeft;
  AnchoredPlacement p;
  p.topLeft = topLeft;
  p.bottomRight = bottomRight;
  p.leftMargin = Clamp32(control.left - AnchorOffset(client.width, topLeft.x));
  p.topMargin = Clamp32(control.top - AnchorOffset(client.height, topLeft.y));
  p.rightMargin = Clamp32(control.right - AnchorOffset(client.width, bottomRight.x));
  p.bottomMargin = Clamp32(control.bottom - AnchorOffset(client.height, bottomRight.y));
  return p;
}

DibRect PlaceAnchoredControl(const AnchoredPlacement& p, ClientSize client) {
  return {Clamp32(AnchorOffset(client.width, p.topLeft.x) + p.leftMargin),
          Clamp32(AnchorOffset(client.height, p.topLeft.y) + p.topMargin),
          Clamp32(AnchorOffset(client.width, p.bottomRight.x) + p.rightMargin),
          Clamp32(AnchorOffset(client.height, p.bottomRight.y) + p.bottomMargin)};
}

bool ListBoxNeedsRefresh(int32_t scrollLimit, int32_t scrollPos, int32_t oldWidth,
                         int32_t newWidth) {
  if (scrollLimit <= 0) return false;
  return int64_t(scrollLimit) + oldWidth - newWidth < scrollPos;
}

DibRect GripRect(ClientSize client, int32_t gripWidth, int32_t gripHeight) {
  return {client.width - gripWidth, client.height - gripHeight, client.width, client.height};
}

ClientSize ClampToMinimumSize(ClientSize size, ClientSize minimum) {
  return {std::max(size.width, minimum.width), std::max(size.height, minimum.height)};
}

// ---- Presses and the pointer -------------------------------------------------

bool PointInRect(const DibRect& rect, int32_t x, int32_t y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

FrameHit SizingHitAt(int32_t x, int32_t y, ClientSize client, int32_t dpi) {
  const int64_t r = client.width, b = client.height;
  const auto z = [dpi](int32_t pixels) { return int64_t(ScaleToDpi(pixels, dpi)); };
  // First match wins, corners before edges.
  if (x > r - z(10) && y > b - z(10)) return FrameHit::kBottomRight;
  if (x < z(6) && y < z(6)) return FrameHit::kTopLeft;
  if (x < z(6) && y > b - z(5)) return FrameHit::kBottomLeft;
  if (x > r - z(5) && y < z(6)) return FrameHit::kTopRight;
  if (x > r - z(5)) return FrameHit::kRight;
  if (x < z(6)) return FrameHit::kLeft;
  if (y > b - z(5)) return FrameHit::kBottom;
  if (y < z(6)) return FrameHit::kTop;
  return FrameHit::kNone;
}

FrameHit FramePressAt(int32_t x, int32_t y, ClientSize client, const DibRect& caption,
                      bool resizable, bool rolledUp, int32_t dpi) {
  if (PointInRect(caption, x, y)) return FrameHit::kCaption;
  if (!resizable || rolledUp) return FrameHit::kNone;
  return SizingHitAt(x, y, client, dpi);
}

FrameCursor FrameCursorAt(int32_t x, int32_t y, ClientSize client, bool rolledUp,
                          int32_t dpi) {
  if (rolledUp) return FrameCursor::kArrow;
  const int64_t r = client.width, b = client.height;
  const auto z = [dpi](int32_t pixels) { return int64_t(ScaleToDpi(pixels, dpi)); };
  if ((x > r - z(10) && y > b - z(10)) || (x < z(2) && y < z(2)))
    return FrameCursor::kSizeNorthWestSouthEast;
  if ((x > r - z(2) && y < z(4)) || (x < z(5) && y > b - z(6)))
    return FrameCursor::kSizeNorthEastSouthWest;
  if (x > r - z(5) || x < z(4)) return FrameCursor::kSizeWestEast;
  if (y > b - z(5) || y < z(2)) return FrameCursor::kSizeNorthSouth;
  return FrameCursor::kArrow;
}

int32_t RolledUpClientHeight(const DibRect& caption) {
  return std::max<int32_t>(1, Clamp32(int64_t(caption.bottom) + caption.top - 1));
}

// ---- Painting ----------------------------------------------------------------

uint32_t StripeRowColor(uint32_t windowColor, int32_t contrast, int32_t y) {
  // Negated in 64 bits: any stored contrast must shade, none may overflow.
  const int64_t amount = (y & 1) != 0 ? int64_t(contrast) : -int64_t(contrast);
  return ShadeColor(windowColor, Clamp32(amount));
}

uint32_t CaptionBarColor(uint32_t controlColor, bool active) {
  return ShadeColor(controlColor, active ? -48 : -64);
}

uint32_t CaptionOutlineColor(uint32_t controlColor) { return ShadeColor(controlColor, -96); }

namespace {

void PaintStripes(CPaintSurface& surface, const ToolFrameLook& look) {
  const int32_t right = look.client.width - 1;
  for (int32_t y = 1; y < look.client.height - 1; ++y) {
    surface.FillRect({1, y, right, y + 1},
                     StripeRowColor(look.windowColor, look.stripeContrast, y));
  }
}

// Two light-edged bars in each direction, nested into the corner.
void PaintGrip(CPaintSurface& surface, const ToolFrameLook& look) {
  const uint32_t dark = ShadeColor(look.windowColor, -32);
  const uint32_t light = ShadeColor(look.windowColor, 32);
  const int32_t r = look.client.width, b = look.client.height;
  struct Piece {
    int32_t x, y, w, h;
  };
  const Piece pieces[] = {{5, 12, 5, 2}, {5, 11, 2, 8}, {12, 5, 9, 2}, {12, 4, 2, 5}};
  const auto z = [&look](int32_t pixels) { return ScaleToDpi(pixels, look.dpi); };
  // Offsets from the bottom-right corner, so a larger grip keeps to it.
  for (const Piece& p : pieces) {
    const int32_t x = r - z(p.x), y = b - z(p.y);
    surface.Draw3dRect({x, y, x + z(p.w), y + z(p.h)}, dark, light);
  }
}

}  // namespace

void PaintToolFrame(CPaintSurface& surface, const ToolFrameLook& look) {
  if (look.client.width <= 0 || look.client.height <= 0) return;
  PaintStripes(surface, look);
  if (look.showGrip) PaintGrip(surface, look);
  surface.Draw3dRect({0, 0, look.client.width, look.client.height},
                     ShadeColor(look.windowColor, 96), ShadeColor(look.windowColor, -92));
  DrawStyledBar(surface, look.caption, CaptionBarColor(look.controlColor, look.active), 0, 0.0);
}

}  // namespace tessaro
