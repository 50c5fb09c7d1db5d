#include "tests/cli/png_fixtures.h"

#include "cli/png_io.h"

namespace tessaro::testing {

namespace fixture_detail {

// Samples spread over the whole range; at 16 bits they hit both sides of
// every rounding step, so a reader that truncates is caught.
uint32_t Sample(uint32_t x, uint32_t y, int channel, int depth) {
  const uint32_t v = x * 2459u + y * 7919u + uint32_t(channel) * 12345u + x * y * 131u;
  return depth == 16 ? (v & 0xFFFF) : (v >> 3) % (1u << depth);
}

uint8_t PaletteIndex(uint32_t x, uint32_t y, int depth) {
  return uint8_t((x * 3 + y * 5) % (1u << depth));
}

void PaletteEntry(int index, uint8_t rgb[3], uint8_t* alpha) {
  rgb[0] = uint8_t(index * 47 + 11);
  rgb[1] = uint8_t(index * 91 + 3);
  rgb[2] = uint8_t(index * 13 + 200);
  *alpha = uint8_t(index * 29 + 5);
}

}  // namespace fixture_detail

namespace {
using namespace fixture_detail;

uint8_t To8(uint32_t sample, int depth) {
  if (depth == 16) return cli::Reduce16To8(sample);
  return uint8_t(sample * 255 / ((1u << depth) - 1));
}
}  // namespace

const std::vector<PngFixture>& AllPngFixtures() {
  static const std::vector<PngFixture> fixtures = {
      {"grey1", PngColour::Grey, 1, false, false},
      {"grey2", PngColour::Grey, 2, false, false},
      {"grey4", PngColour::Grey, 4, false, false},
      {"grey8", PngColour::Grey, 8, false, false},
      {"grey16", PngColour::Grey, 16, false, false},
      {"grey2_key", PngColour::Grey, 2, true, false},
      {"grey8_key", PngColour::Grey, 8, true, false},
      {"grey16_key", PngColour::Grey, 16, true, false},
      {"grey8_interlaced", PngColour::Grey, 8, false, true},
      {"grey16_interlaced", PngColour::Grey, 16, false, true},
      {"greyalpha8", PngColour::GreyAlpha, 8, false, false},
      {"greyalpha16", PngColour::GreyAlpha, 16, false, false},
      {"greyalpha8_interlaced", PngColour::GreyAlpha, 8, false, true},
      {"rgb8", PngColour::Rgb, 8, false, false},
      {"rgb16", PngColour::Rgb, 16, false, false},
      {"rgb8_key", PngColour::Rgb, 8, true, false},
      {"rgb16_key", PngColour::Rgb, 16, true, false},
      {"rgb8_interlaced", PngColour::Rgb, 8, false, true},
      {"rgba8", PngColour::Rgba, 8, false, false},
      {"rgba16", PngColour::Rgba, 16, false, false},
      {"rgba8_interlaced", PngColour::Rgba, 8, false, true},
      {"rgba16_interlaced", PngColour::Rgba, 16, false, true},
      {"palette1", PngColour::Palette, 1, false, false},
      {"palette2", PngColour::Palette, 2, false, false},
      {"palette4", PngColour::Palette, 4, false, false},
      {"palette8", PngColour::Palette, 8, false, false},
      {"palette2_alpha", PngColour::Palette, 2, true, false},
      {"palette8_alpha", PngColour::Palette, 8, true, false},
      {"palette8_alpha_interlaced", PngColour::Palette, 8, true, true},
  };
  return fixtures;
}

std::vector<uint8_t> ExpectedRgba(const PngFixture& f) {
  std::vector<uint8_t> out(size_t(kFixtureWidth) * kFixtureHeight * 4);
  const int d = f.bitDepth;
  for (uint32_t y = 0; y < kFixtureHeight; ++y) {
    for (uint32_t x = 0; x < kFixtureWidth; ++x) {
      uint8_t* p = &out[(size_t(y) * kFixtureWidth + x) * 4];
      switch (f.colour) {
        case PngColour::Grey:
        case PngColour::GreyAlpha: {
          const uint32_t g = Sample(x, y, 0, d);
          p[0] = p[1] = p[2] = To8(g, d);
          p[3] = f.colour == PngColour::GreyAlpha ? To8(Sample(x, y, 1, d), d) : 255;
          if (f.transparencyKey && g == Sample(kKeyX, kKeyY, 0, d)) p[3] = 0;
          break;
        }
        case PngColour::Rgb:
        case PngColour::Rgba: {
          bool key = f.transparencyKey;
          for (int c = 0; c < 3; ++c) {
            const uint32_t s = Sample(x, y, c, d);
            p[c] = To8(s, d);
            key = key && s == Sample(kKeyX, kKeyY, c, d);
          }
          p[3] = f.colour == PngColour::Rgba ? To8(Sample(x, y, 3, d), d) : 255;
          if (key) p[3] = 0;
          break;
        }
        case PngColour::Palette: {
          uint8_t alpha = 255;
          PaletteEntry(PaletteIndex(x, y, d), p, &alpha);
          p[3] = f.transparencyKey ? alpha : 255;
          break;
        }
      }
    }
  }
  return out;
}

}  // namespace tessaro::testing
