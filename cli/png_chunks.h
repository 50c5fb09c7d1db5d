// The chunk structure of a PNG file, checked before any decoder sees it: the
// same test in both builds, so that both refuse the same files, and a bound on
// the picture from the data the file really holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "cli/png_io.h"

namespace tessaro::cli {

struct PngHeader {
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t bitDepth = 0;
  uint8_t colourType = 0;
  uint8_t interlace = 0;
  uint64_t imageDataBytes = 0;  // all IDAT chunks together, compressed
};

// Reads up to size bytes into buffer and returns how many it read; 0 at the
// end of the file or on an error.
using ByteSource = std::function<size_t(uint8_t* buffer, size_t size)>;

// Reads the whole file from the byte after the eight-byte signature: every
// chunk's length and checksum, the header first, image data, and the end
// chunk.  On failure, reason says what is wrong ("checksum error in chunk
// IDAT").
bool ScanPngChunks(const ByteSource& read, PngHeader* header, std::string* reason);

// A chunk's length or a header field: four bytes, most significant first.
inline uint32_t PngBigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The chunk checksum: CRC-32 over a chunk's type and data.
uint32_t PngCrc(const uint8_t* bytes, size_t size);

// Deflate expands one byte into at most 1032: a picture whose rows need more
// than its image data can give is damaged, however large it claims to be.
bool ImageDataCanFill(const PngHeader& header);

// Bytes of the picture's rows as stored, at least: what ImageDataCanFill
// compares against.
uint64_t MinimumRowBytes(const PngHeader& header);

// The bytes of a width x height RGBA picture in memory, or 0 when they are
// more than maxBytes (a buffer's largest size in this program): counted in 64
// bits, so a 32-bit program's size_t cannot wrap and take too little.
size_t PictureBytes(uint32_t width, uint32_t height, size_t maxBytes);

// Sets error and failure and returns false: every refusal of the readers.
bool RefusePng(PngFailure kind, std::string text, std::string* error, PngFailure* failure);

// What both readers check before decoding, from the signature on: the
// chunks, the size against the limits and against the image data.
bool CheckPngStream(const ByteSource& read, const PngLimits& limits, std::string* error,
                    PngFailure* failure);

}  // namespace tessaro::cli
