// Reading and writing PNG files.  Every colour type and bit depth is read
// into 8-bit straight RGBA, the same pixels in both builds: palettes and
// transparency keys become alpha, grey becomes three equal channels, 16-bit
// samples are rounded to 8 bits as (v * 255 + 32767) / 65535.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaro::cli {

struct Picture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgba;  // width * height * 4 bytes, rows top-down
};

struct PngLimits {
  uint64_t maxWidth = 0x7FFFFFFF;
  uint64_t maxHeight = 0x7FFFFFFF;
};

// Why reading failed, for callers that say more about some causes.
enum class PngFailure { None, CannotOpen, NotAFile, NotPng, Damaged, TooLarge, OutOfMemory };

// On failure, error holds a reason without the file name ("not a PNG file",
// "cannot open (No such file or directory)") and failure its cause.  Larger
// than the limits, or larger than the file's image data can fill, is a
// failure found before any pixel memory is taken.
bool ReadPng(const std::string& path, const PngLimits& limits, Picture* picture,
             std::string* error, PngFailure* failure = nullptr);

// Writes 8-bit RGB (channels 3) or RGBA (channels 4) rows, packed.
bool WritePng(const std::string& path, const uint8_t* pixels, uint32_t width, uint32_t height,
              int channels, std::string* error);

inline uint8_t Reduce16To8(uint32_t v) { return uint8_t((v * 255 + 32767) / 65535); }

}  // namespace tessaro::cli
