// The arithmetic of the skinned dialog frame: where anchored controls go when
// a dialog changes size, which part of the frame a press or the pointer is on,
// how far a dialog rolls up, and what the frame paints.  The window classes
// (resizable_dialog_win, tool_dlg_win) only carry these results to the
// platform, so everything here is checked natively.
//
// Rectangles are client coordinates, left/top inclusive, right/bottom
// exclusive, like the platform's own.  Colours are colour values 0x00BBGGRR.
#pragma once

#include <cstdint>

#include "image/dib.h"

namespace tessaro {

class CPaintSurface;

struct ClientSize {
  int32_t width, height;
};

// The frame's template convention: a hidden static covers the caption strip
// and holds the title; small dialogs put a close button at the strip's end.
constexpr int kCaptionId = 1004;
constexpr int kCaptionCloseId = 1005;

// ---- Anchors -----------------------------------------------------------------

// A point of the client area in percent of its width and height.  Controls
// keep a fixed distance (their margin) from the anchored point of each corner.
struct Anchor {
  int32_t x, y;
};
constexpr Anchor kNoAnchor = {-1, -1};
constexpr Anchor kAnchorTopLeft = {0, 0};
constexpr Anchor kAnchorTopRight = {100, 0};
constexpr Anchor kAnchorBottomLeft = {0, 100};
constexpr Anchor kAnchorBottomRight = {100, 100};

constexpr bool IsNoAnchor(Anchor a) { return a.x == -1 && a.y == -1; }

// What a layout entry keeps of a control: both anchors and the margins taken
// when the control was registered.
struct AnchoredPlacement {
  Anchor topLeft, bottomRight;
  int32_t leftMargin, topMargin, rightMargin, bottomMargin;
};

// Records control (in client coordinates) against the client size.  Without a
// bottom-right anchor the control keeps its size and follows its top-left one.
AnchoredPlacement MeasureAnchoredControl(ClientSize client, const DibRect& control,
                                         Anchor topLeft, Anchor bottomRight = kNoAnchor);

// Where the control goes for this client size.
DibRect PlaceAnchoredControl(const AnchoredPlacement& placement, ClientSize client);

// Whether a list box must be repainted after a width change: narrowing a list
// scrolled far to the right makes the platform scroll it back without redrawing
// the uncovered part.  scrollLimit is the horizontal range maximum - page + 1.
bool ListBoxNeedsRefresh(int32_t scrollLimit, int32_t scrollPos, int32_t oldWidth,
                         int32_t newWidth);

// The size grip: the client area's bottom-right corner of the scroll bar
// metrics' size.
DibRect GripRect(ClientSize client, int32_t gripWidth, int32_t gripHeight);

// The window never gets smaller than minimum in either direction.
ClientSize ClampToMinimumSize(ClientSize size, ClientSize minimum);

// ---- Presses and the pointer -----------------------------------------------------

enum class FrameHit {
  kNone,  // an ordinary press: nothing special starts
  kCaption,
  kLeft,
  kRight,
  kTop,
  kTopLeft,
  kTopRight,
  kBottom,
  kBottomLeft,
  kBottomRight,
};

// The sizing zone a press at (x, y) starts, or kNone away from the edges.
// The corner zones are larger than the pointer's so a corner is easy to catch.
// The zones are drawn for 96 DPI and grow with dpi.
FrameHit SizingHitAt(int32_t x, int32_t y, ClientSize client, int32_t dpi = 96);

// What a left press at (x, y) starts: a move on the caption strip, a resize on
// the edges of a resizable dialog that is not rolled up, else nothing.
FrameHit FramePressAt(int32_t x, int32_t y, ClientSize client, const DibRect& caption,
                      bool resizable, bool rolledUp, int32_t dpi = 96);

enum class FrameCursor {
  kArrow,
  kSizeNorthWestSouthEast,
  kSizeNorthEastSouthWest,
  kSizeWestEast,
  kSizeNorthSouth,
};

// The pointer shown at (x, y) of a resizable dialog.
FrameCursor FrameCursorAt(int32_t x, int32_t y, ClientSize client, bool rolledUp,
                          int32_t dpi = 96);

bool PointInRect(const DibRect& rect, int32_t x, int32_t y);

// ---- Roll-up -------------------------------------------------------------------

// Client height of a rolled-up dialog: the caption strip with a bottom margin
// matching its top one.  Never below 1, so the window stays reachable.
int32_t RolledUpClientHeight(const DibRect& caption);

// ---- Painting --------------------------------------------------------------

struct ToolFrameLook {
  ClientSize client;
  DibRect caption;          // the caption strip
  uint32_t windowColor;
  uint32_t controlColor;
  int32_t stripeContrast;   // 0: a flat background
  bool showGrip;            // resizable and not rolled up
  bool active;              // the caption is darker for the active window
  int32_t dpi = 96;         // the grip grows with it
};

// Colour of background row y: the window colour lifted on odd rows and
// lowered on even ones.
uint32_t StripeRowColor(uint32_t windowColor, int32_t contrast, int32_t y);

// Colour behind the caption title for the active or an inactive window.
uint32_t CaptionBarColor(uint32_t controlColor, bool active);
// The title is drawn white on an outline of this colour.
uint32_t CaptionOutlineColor(uint32_t controlColor);
constexpr uint32_t kCaptionTextColor = 0xFFFFFF;
// The title starts this far right of the caption's left edge.
constexpr int32_t kCaptionTextIndent = 10;

// Everything of the frame but the title text: pin-striped background, grip,
// raised border and the caption bar in the current button style.  The stripes
// also run under the caption bar, so a style that leaves part of the bar
// unpainted shows the background there rather than stale pixels.
void PaintToolFrame(CPaintSurface& surface, const ToolFrameLook& look);

}  // namespace tessaro
