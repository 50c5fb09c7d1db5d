#include "resources/about_logo.h"

#include <algorithm>
#include <cmath>

#include "image/pixel.h"
#include "resources/artwork_shapes.h"

namespace tessaro::resources {

namespace {

uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFFu; }

// Straight mix of two 0xAARRGGBB colours, t in 0..1.
uint32_t Mix(uint32_t a, uint32_t b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double v = Channel(a, shift) * (1.0 - t) + Channel(b, shift) * t;
    out |= uint32_t(std::lround(v)) << shift;
  }
  return out;
}

uint32_t Shade(uint32_t c, int amount) {
  uint32_t out = c & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8)
    out |= uint32_t(std::clamp(int(Channel(c, shift)) + amount, 0, 255)) << shift;
  return out;
}

// One raised tile seen slightly from above and the left: a soft shadow, the
// darker side band below and right, and the lit face with a bright rim.
void DrawTile(CDib& logo, double left, double top, double size, uint32_t colour) {
  // Work on a patch around the tile: region tests over the whole logo would
  // cost the build seconds.
  const int x0 = int(left) - 2, y0 = int(top) - 2;
  const int span = int(size) + 12;
  CDib patch;
  if (!patch.Create(span, span)) return;
  const double l = left - x0, t = top - y0;
  const double side = size * 0.12, radius = size * 0.16;
  FillRegion(patch, RoundedRect(l + 3, t + 5, l + size + 3, t + size + 5, radius),
             Solid(0x38000000u));
  FillRegion(patch, RoundedRect(l, t, l + size, t + size, radius), Solid(Shade(colour, -70)));
  const double faceRight = l + size - side, faceBottom = t + size - side;
  FillRegion(patch, RoundedRect(l, t, faceRight, faceBottom, radius * 0.8),
             VerticalGradient(t, Shade(colour, 45), faceBottom, colour));
  FillRegion(patch,
             Difference(RoundedRect(l, t, faceRight, faceBottom, radius * 0.8),
                        RoundedRect(l + 1.6, t + 1.6, faceRight - 0.8, faceBottom - 0.8,
                                    radius * 0.7)),
             Solid(0x70FFFFFFu));
  logo.DrawOver(patch, x0, y0, 255);
}

}  // namespace

CDib DrawAboutLogo() {
  CDib logo;
  if (!logo.Create(kLogoWidth, kLogoHeight)) return logo;
  // A cool light field, a shade deeper towards the bottom right.
  for (int y = 0; y < kLogoHeight; ++y) {
    for (int x = 0; x < kLogoWidth; ++x) {
      const double t = 0.65 * y / kLogoHeight + 0.35 * x / kLogoWidth;
      logo.SetPixel(x, y, Mix(0xFFF6F8FBu, 0xFFD9E1EBu, t));
    }
  }
  // Tiles in two staggered columns at the right edge, warm at the top and
  // turning to magenta below, like the relief of the sample picture.
  constexpr double kSize = 50, kStep = 62;
  const double columns[2] = {kLogoWidth - 2 * kStep - 4, kLogoWidth - kStep - 4};
  for (int c = 0; c < 2; ++c) {
    const double offset = c == 0 ? kStep / 2 : 0;
    for (int r = 0; r < 6; ++r) {
      const double top = 14 + offset + r * kStep;
      if (top + kSize > kLogoHeight - 8) break;
      const double t = (top + kSize / 2) / kLogoHeight;
      DrawTile(logo, columns[c], top, kSize, Mix(0xFFF08A3Cu, 0xFFC8305Au, t));
    }
  }
  return logo;
}

std::vector<uint8_t> EncodeBitmapFile24(const CDib& picture) {
  const int w = picture.Width(), h = picture.Height();
  if (w <= 0 || h <= 0) return {};
  const uint32_t rowBytes = (uint32_t(w) * 3u + 3u) & ~3u;
  const uint32_t imageBytes = rowBytes * uint32_t(h);
  const uint32_t offset = 14 + 40;
  std::vector<uint8_t> out;
  out.reserve(offset + imageBytes);
  auto u16 = [&](uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
  };
  auto u32 = [&](uint32_t v) {
    u16(v & 0xFFFFu);
    u16(v >> 16);
  };
  out.push_back('B');
  out.push_back('M');
  u32(offset + imageBytes);
  u32(0);
  u32(offset);
  u32(40);
  u32(uint32_t(w));
  u32(uint32_t(h));  // positive: bottom-up rows
  u16(1);
  u16(24);
  u32(0);  // uncompressed
  u32(imageBytes);
  u32(2835);  // 72 dots per inch
  u32(2835);
  u32(0);
  u32(0);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t p = picture.PixelAt(x, y);
      out.push_back(uint8_t(p));        // blue
      out.push_back(uint8_t(p >> 8));   // green
      out.push_back(uint8_t(p >> 16));  // red
    }
    for (uint32_t pad = uint32_t(w) * 3u; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace tessaro::resources
