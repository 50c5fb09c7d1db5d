// PNG files of every colour type and bit depth, with the pixels a correct
// reader must give for them.  Written natively with libpng; read in both
// builds, so that the two readers are held to the same pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaro::testing {

enum class PngColour { Grey, GreyAlpha, Rgb, Rgba, Palette };

struct PngFixture {
  const char* name;
  PngColour colour;
  int bitDepth;
  bool transparencyKey;  // a tRNS chunk: a key colour, or palette alphas
  bool interlaced;
};

constexpr uint32_t kFixtureWidth = 13;
constexpr uint32_t kFixtureHeight = 7;

const std::vector<PngFixture>& AllPngFixtures();

// The 8-bit straight RGBA pixels of the fixture.
std::vector<uint8_t> ExpectedRgba(const PngFixture& fixture);

// How the fixtures' pixels are made, for the writer.
namespace fixture_detail {
uint32_t Sample(uint32_t x, uint32_t y, int channel, int depth);
uint8_t PaletteIndex(uint32_t x, uint32_t y, int depth);
void PaletteEntry(int index, uint8_t rgb[3], uint8_t* alpha);
// Key colours are those of one pixel of the picture, so that the key matches.
constexpr uint32_t kKeyX = 1, kKeyY = 1;
}  // namespace fixture_detail

// Native only (libpng): writes the fixture.
bool WritePngFixture(const PngFixture& fixture, const std::string& path, std::string* error);

}  // namespace tessaro::testing
