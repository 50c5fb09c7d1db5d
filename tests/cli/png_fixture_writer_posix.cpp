// Writes the PNG fixtures with libpng, in exactly the colour type, bit depth
// and interlacing named.
#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "tests/cli/png_fixtures.h"

namespace tessaro::testing {

namespace {

using namespace fixture_detail;

void OnError(png_structp png, png_const_charp) { longjmp(png_jmpbuf(png), 1); }
void OnWarning(png_structp, png_const_charp) {}

int ChannelsOf(PngColour c) {
  switch (c) {
    case PngColour::Grey: return 1;
    case PngColour::GreyAlpha: return 2;
    case PngColour::Rgb: return 3;
    case PngColour::Rgba: return 4;
    case PngColour::Palette: return 1;
  }
  return 1;
}

int ColourTypeOf(PngColour c) {
  switch (c) {
    case PngColour::Grey: return PNG_COLOR_TYPE_GRAY;
    case PngColour::GreyAlpha: return PNG_COLOR_TYPE_GRAY_ALPHA;
    case PngColour::Rgb: return PNG_COLOR_TYPE_RGB;
    case PngColour::Rgba: return PNG_COLOR_TYPE_RGB_ALPHA;
    case PngColour::Palette: return PNG_COLOR_TYPE_PALETTE;
  }
  return PNG_COLOR_TYPE_GRAY;
}

// Rows packed at the fixture's bit depth, most significant bits first,
// 16-bit samples big-endian.
std::vector<uint8_t> PackedRows(const PngFixture& f, size_t* rowBytes) {
  const int channels = ChannelsOf(f.colour);
  const size_t bitsPerRow = size_t(kFixtureWidth) * size_t(channels) * size_t(f.bitDepth);
  *rowBytes = (bitsPerRow + 7) / 8;
  std::vector<uint8_t> rows(*rowBytes * kFixtureHeight, 0);
  for (uint32_t y = 0; y < kFixtureHeight; ++y) {
    size_t bit = 0;
    uint8_t* row = &rows[y * *rowBytes];
    for (uint32_t x = 0; x < kFixtureWidth; ++x) {
      for (int c = 0; c < channels; ++c, bit += size_t(f.bitDepth)) {
        const uint32_t v = f.colour == PngColour::Palette ? PaletteIndex(x, y, f.bitDepth)
                                                          : Sample(x, y, c, f.bitDepth);
        if (f.bitDepth == 16) {
          row[bit / 8] = uint8_t(v >> 8);
          row[bit / 8 + 1] = uint8_t(v);
        } else {
          row[bit / 8] |= uint8_t(v << (8 - f.bitDepth - int(bit % 8)));
        }
      }
    }
  }
  return rows;
}

bool Write(png_structp png, png_infop info, std::FILE* file, const PngFixture& f, png_bytepp rows,
           png_colorp palette, png_bytep alphas, png_color_16p key) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, kFixtureWidth, kFixtureHeight, f.bitDepth, ColourTypeOf(f.colour),
               f.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  const int entries = 1 << f.bitDepth;
  if (f.colour == PngColour::Palette) png_set_PLTE(png, info, palette, entries);
  if (f.transparencyKey) {
    if (f.colour == PngColour::Palette) png_set_tRNS(png, info, alphas, entries, nullptr);
    else png_set_tRNS(png, info, nullptr, 0, key);
  }
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool WritePngFixture(const PngFixture& f, const std::string& path, std::string* error) {
  size_t rowBytes = 0;
  std::vector<uint8_t> packed = PackedRows(f, &rowBytes);
  std::vector<png_bytep> rows(kFixtureHeight);
  for (uint32_t y = 0; y < kFixtureHeight; ++y) rows[y] = &packed[y * rowBytes];
  std::vector<png_color> palette(256);
  std::vector<png_byte> alphas(256);
  for (int k = 0; k < 256; ++k) {
    uint8_t rgb[3];
    PaletteEntry(k, rgb, &alphas[size_t(k)]);
    palette[size_t(k)] = png_color{rgb[0], rgb[1], rgb[2]};
  }
  png_color_16 key{};
  key.gray = png_uint_16(Sample(kKeyX, kKeyY, 0, f.bitDepth));
  key.red = png_uint_16(Sample(kKeyX, kKeyY, 0, f.bitDepth));
  key.green = png_uint_16(Sample(kKeyX, kKeyY, 1, f.bitDepth));
  key.blue = png_uint_16(Sample(kKeyX, kKeyY, 2, f.bitDepth));

  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    *error = "cannot create " + path;
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok =
      info && Write(png, info, file, f, rows.data(), palette.data(), alphas.data(), &key);
  png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
  const bool closed = std::fclose(file) == 0;
  if (!ok || !closed) *error = "libpng could not write " + path;
  return ok && closed;
}

}  // namespace tessaro::testing
