#include "ui/dialog/interface_styles.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "image/pixel.h"

namespace tessaro {

namespace {

constexpr uint32_t kColorBits = 0x00FFFFFFu;

InterfaceSettings MakeSettings(int32_t style, uint32_t window, uint32_t control,
                               int32_t contrast) {
  window &= kColorBits;
  control &= kColorBits;
  return {style, window, control, contrast, ShadeColor(control, 16), ShadeColor(window, 0)};
}

InterfaceSettings g_settings = MakeSettings(kDefaultButtonStyle, kDefaultWindowColor,
                                            kDefaultControlColor, kDefaultStripeContrast);
BorderTable g_borders = DefaultBorderTable();

// ---- Fill ------------------------------------------------------------------

// Rows are worked with 64-bit positions: a rectangle may span the whole
// 32-bit range.
struct Span {
  int64_t from, to;  // to exclusive
};

// One gradient style: shade amounts relative to the bar colour for the top
// band's start (m) and the base (l), the lower band's start (b1) and end (b2);
// the top band is H / heightDivisor rows high and the lower band starts that
// many rows from the top (lowerFollowsTop) or ends at the bottom.
struct Gradient {
  int32_t m, l, b1, b2;
  int32_t heightDivisor;
  bool lowerFollowsTop;
};

constexpr Gradient kGradients[10] = {
    {24, 0, 0, -16, 8, false},   {32, 0, 0, 32, 6, false},    {-16, 0, 0, -24, 6, false},
    {16, 0, 0, -8, 2, false},    {-16, 0, 0, 32, 4, false},   {-8, 0, 0, 16, 2, false},
    {0, -24, -24, 24, 6, true},  {24, -24, -24, 24, 10, true}, {24, 0, -24, 0, 2, true},
    {0, 24, -24, 0, 3, true},
};

// The band runs from `from` at its first row towards `to`, which it reaches
// one row past its end.
uint32_t BandRow(uint32_t from, uint32_t to, int64_t row, int64_t rows) {
  return MixColor(from, to, 1.0 - double(row) / double(rows));
}

uint32_t GradientRow(const Gradient& g, uint32_t a, int64_t row, int64_t height) {
  const int64_t h = height / g.heightDivisor;
  const int64_t o = g.lowerFollowsTop ? h : height - h;
  // Where the bands overlap the lower one is painted last and wins.
  if (row >= o) return BandRow(ShadeColor(a, g.b1), ShadeColor(a, g.b2), row - o, height - o);
  if (row < h) return BandRow(ShadeColor(a, g.m), ShadeColor(a, g.l), row, h);
  return ShadeColor(a, g.l);
}

uint32_t AquaRow(uint32_t a, int64_t row, int64_t height) {
  if (row == 0 || row == height - 1) return ShadeColor(a, 24);
  // The upper half, and the middle row of an odd height, stay plain.
  const int64_t plain = height - height / 2;
  if (row < plain) return a;
  return BandRow(a, ShadeColor(a, 16), row - plain, height - plain);
}

void FillByStyle(CPaintSurface& surface, const DibRect& area, uint32_t a, int32_t style) {
  if (area.left >= area.right || area.top >= area.bottom) return;
  if (style == kButtonStyleFlat) {
    surface.FillRect(area, a);
    return;
  }
  const bool gradient = style >= 1 && style <= 10;
  if (!gradient && style != kButtonStyleAqua) return;
  const DibRect bounds = surface.Bounds();
  const int64_t height = int64_t(area.bottom) - area.top;
  const int32_t yFrom = std::max(area.top, bounds.top), yTo = std::min(area.bottom, bounds.bottom);
  for (int32_t y = yFrom; y < yTo; ++y) {
    const int64_t row = int64_t(y) - area.top;
    const uint32_t c =
        gradient ? GradientRow(kGradients[style - 1], a, row, height) : AquaRow(a, row, height);
    surface.FillRect({area.left, y, area.right, y + 1}, c);
  }
}

// ---- Frames ----------------------------------------------------------------

bool HasFrame(int32_t topLeft) { return topLeft != 0 && topLeft != kBorderGap; }

int32_t BlendShade(int32_t normal, int32_t hovered, double x) {
  // Between the two values, so always representable; truncated toward zero.
  return int32_t(double(normal) * (1.0 - x) + double(hovered) * x);
}

BorderShades BlendShades(const BorderShades& p, const BorderShades& q, double x) {
  return {BlendShade(p.outerTopLeft, q.outerTopLeft, x),
          BlendShade(p.outerBottomRight, q.outerBottomRight, x),
          BlendShade(p.middleTopLeft, q.middleTopLeft, x),
          BlendShade(p.middleBottomRight, q.middleBottomRight, x),
          BlendShade(p.innerTopLeft, q.innerTopLeft, x),
          BlendShade(p.innerBottomRight, q.innerBottomRight, x)};
}

// rect shrunk by d >= 0 on every side, or an empty rectangle.
DibRect Inset(const DibRect& rect, int32_t d) {
  const int64_t l = int64_t(rect.left) + d, t = int64_t(rect.top) + d;
  const int64_t r = int64_t(rect.right) - d, b = int64_t(rect.bottom) - d;
  if (l >= r || t >= b) return {0, 0, 0, 0};
  return {int32_t(l), int32_t(t), int32_t(r), int32_t(b)};
}

}  // namespace

const InterfaceSettings& GetInterfaceSettings() { return g_settings; }

void SetButtonStyle(int32_t style) { g_settings.buttonStyle = style; }

void SetWindowColor(uint32_t color) {
  g_settings.windowColor = color & kColorBits;
  g_settings.frameColor = ShadeColor(color, 0);
}

void SetControlColor(uint32_t color) {
  g_settings.controlColor = color & kColorBits;
  g_settings.controlLight = ShadeColor(color, 16);
}


void ResetInterfaceColors() {
  g_settings = MakeSettings(kDefaultButtonStyle, kDefaultWindowColor, kDefaultControlColor,
                            g_settings.stripeContrast);
}

uint32_t ShadeColor(uint32_t color, int32_t amount) {
  auto channel = [&](int shift) {
    const int64_t v = int64_t((color >> shift) & 0xFFu) + amount;
    return uint32_t(std::clamp<int64_t>(v, 0, 255)) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}

BorderTable DefaultBorderTable() {
  return {{
      {-16, -16, -64, -64, 0, 0},
      {-16, -16, -48, -48, 0, 0},
      {-64, 48, -128, -128, 0, 0},
  }};
}

const BorderTable& GetBorderTable() { return g_borders; }
void SetBorderTable(const BorderTable& table) { g_borders = table; }
void ResetBorderTable() { g_borders = DefaultBorderTable(); }

void DrawStyledBar(CPaintSurface& surface, const DibRect& rect, uint32_t color, int32_t state,
                   double blend) {
  color &= kColorBits;
  state = std::clamp(state, 0, 2);
  const BorderShades& own = g_borders[size_t(state)];
  BorderShades shades = own;
  if (state == 1) {
    const double x = std::isnan(blend) ? 0.0 : std::clamp(blend, 0.0, 1.0);
    shades = BlendShades(g_borders[0], g_borders[1], x);
  }

  // The fill reaches out over the frames that are absent (0, not a gap),
  // from the innermost outwards.
  int32_t inset = 3;
  if (own.innerTopLeft == 0) {
    --inset;
    if (own.middleTopLeft == 0) {
      --inset;
      if (own.outerTopLeft == 0) --inset;
    }
  }
  FillByStyle(surface, Inset(rect, inset), color, g_settings.buttonStyle);

  // Each frame keeps its own ring, present or not, so the fill always meets
  // the innermost frame.
  if (HasFrame(own.outerTopLeft)) {
    surface.Draw3dRect(rect, ShadeColor(g_settings.frameColor, shades.outerTopLeft),
                       ShadeColor(g_settings.frameColor, shades.outerBottomRight));
  }
  if (HasFrame(own.middleTopLeft)) {
    surface.Draw3dRect(Inset(rect, 1), ShadeColor(color, shades.middleTopLeft),
                       ShadeColor(color, shades.middleBottomRight));
  }
  if (HasFrame(own.innerTopLeft)) {
    surface.Draw3dRect(Inset(rect, 2), ShadeColor(color, shades.innerTopLeft),
                       ShadeColor(color, shades.innerBottomRight));
  }
}

}  // namespace tessaro
