// Writes the PNG files the command-line tests read, into one folder: every
// colour type and bit depth (each with the pixels this build's reader gives,
// as NAME.rgba), and the pictures the program's own tests run on.
#include <cstdio>
#include <fstream>
#include <string>

#include "cli/png_io.h"
#include "tests/cli/png_fixtures.h"

using namespace tessaro;

namespace {

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(out);
}

// A 9 x 7 picture: an opaque square on transparency.
std::vector<uint8_t> Picture() {
  std::vector<uint8_t> rgba(9 * 7 * 4, 0);
  for (int y = 2; y < 5; ++y)
    for (int x = 3; x < 7; ++x) {
      uint8_t* p = &rgba[size_t(y * 9 + x) * 4];
      p[0] = uint8_t(40 * x);
      p[1] = uint8_t(30 * y);
      p[2] = 200;
      p[3] = 255;
    }
  return rgba;
}

std::vector<uint8_t> Grey(uint32_t w, uint32_t h) {
  std::vector<uint8_t> rgba(size_t(w) * h * 4);
  for (size_t i = 0; i < size_t(w) * h; ++i) {
    const uint8_t g = uint8_t(i * 37);
    rgba[i * 4] = rgba[i * 4 + 1] = rgba[i * 4 + 2] = g;
    rgba[i * 4 + 3] = 255;
  }
  return rgba;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_png_fixtures FOLDER\n");
    return 1;
  }
  const std::string folder = std::string(argv[1]) + "/";
  std::string error;
  for (const testing::PngFixture& f : testing::AllPngFixtures()) {
    const std::string png = folder + f.name + ".png";
    cli::Picture decoded;
    if (!testing::WritePngFixture(f, png, &error) ||
        !cli::ReadPng(png, cli::PngLimits{}, &decoded, &error) ||
        !WriteBytes(folder + f.name + ".rgba", decoded.rgba)) {
      std::fprintf(stderr, "%s: %s\n", f.name, error.c_str());
      return 1;
    }
  }
  const std::vector<uint8_t> picture = Picture();
  const std::vector<uint8_t> mask = Grey(9, 7), small = Grey(4, 4);
  if (!cli::WritePng(folder + "picture.png", picture.data(), 9, 7, 4, &error) ||
      !cli::WritePng(folder + "mask.png", mask.data(), 9, 7, 4, &error) ||
      !cli::WritePng(folder + "mask_small.png", small.data(), 4, 4, 4, &error) ||
      !WriteBytes(folder + "not_png.png", {'t', 'e', 'x', 't', '\n'})) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  return 0;
}
