#include "cli/png_chunks.h"

#include <array>
#include <cstring>
#include <limits>

namespace tessaro::cli {

namespace {

constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;
constexpr uint64_t kDeflateMaxExpansion = 1032;

// The checksum's table for one byte, and seven more for the bytes before
// it, so that eight bytes take eight lookups and no dependent shifts
// (slicing by eight): the checksums of a picture's chunks took a visible part
// of reading and writing it.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;
CrcTables MakeCrcTables() {
  CrcTables t{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[0][n] = c;
  }
  for (size_t k = 1; k < 8; ++k)
    for (uint32_t n = 0; n < 256; ++n) t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
  return t;
}

uint32_t UpdateCrc(uint32_t crc, const uint8_t* bytes, size_t size) {
  static const CrcTables t = MakeCrcTables();
  for (; size >= 8; bytes += 8, size -= 8) {
    const uint32_t low = crc ^ (uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                                uint32_t(bytes[3]) << 24);
    crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
          t[3][bytes[4]] ^ t[2][bytes[5]] ^ t[1][bytes[6]] ^ t[0][bytes[7]];
  }
  for (; size > 0; ++bytes, --size) crc = t[0][(crc ^ *bytes) & 0xFF] ^ (crc >> 8);
  return crc;
}

bool ReadExactly(const ByteSource& read, uint8_t* buffer, size_t size) {
  while (size > 0) {
    const size_t got = read(buffer, size);
    if (got == 0 || got > size) return false;
    buffer += got;
    size -= got;
  }
  return true;
}

int ChannelsOf(uint8_t colourType) {
  switch (colourType) {
    case 0: return 1;  // grey
    case 2: return 3;  // RGB
    case 3: return 1;  // palette index
    case 4: return 2;  // grey and alpha
    case 6: return 4;  // RGBA
    default: return 0;
  }
}

bool DepthFits(uint8_t colourType, uint8_t depth) {
  switch (colourType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
  }
}

bool ParseHeader(const uint8_t* data, PngHeader* header, std::string* reason) {
  header->width = PngBigEndian32(data);
  header->height = PngBigEndian32(data + 4);
  header->bitDepth = data[8];
  header->colourType = data[9];
  header->interlace = data[12];
  if (header->width == 0 || header->height == 0 || header->width > kMaxChunkLength ||
      header->height > kMaxChunkLength) {
    *reason = "its header gives an impossible size";
    return false;
  }
  if (!DepthFits(header->colourType, header->bitDepth) || data[10] != 0 || data[11] != 0 ||
      header->interlace > 1) {
    *reason = "its header gives an unknown pixel format";
    return false;
  }
  return true;
}

bool IsChunkTypeLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool ScanPngChunks(const ByteSource& read, PngHeader* header, std::string* reason) {
  *header = PngHeader{};
  bool sawHeader = false;
  uint8_t buffer[1 << 14];
  for (;;) {
    uint8_t head[8];
    if (!ReadExactly(read, head, 8)) {
      *reason = "the file ends before its end chunk";
      return false;
    }
    const uint32_t length = PngBigEndian32(head);
    const uint8_t* type = head + 4;
    const std::string name(reinterpret_cast<const char*>(type), 4);
    if (length > kMaxChunkLength) {
      *reason = "a chunk claims more than 2 GiB";
      return false;
    }
    for (int i = 0; i < 4; ++i) {
      if (!IsChunkTypeLetter(type[i])) {
        *reason = "a chunk has an invalid type";
        return false;
      }
    }
    const bool isHeader = name == "IHDR";
    // The header comes first and only once.
    if (sawHeader == isHeader) {
      *reason = sawHeader ? "it has a second header chunk" : "it does not start with its header";
      return false;
    }
    if (isHeader && length != 13) {
      *reason = "its header chunk has the wrong length";
      return false;
    }

    uint32_t crc = UpdateCrc(0xFFFFFFFFu, type, 4);
    uint8_t first[13] = {};
    for (uint32_t left = length; left > 0;) {
      const size_t part = left < sizeof buffer ? left : sizeof buffer;
      if (!ReadExactly(read, buffer, part)) {
        *reason = "the file ends inside chunk " + name;
        return false;
      }
      if (isHeader) std::memcpy(first, buffer, 13);
      crc = UpdateCrc(crc, buffer, part);
      left -= uint32_t(part);
    }
    uint8_t stored[4];
    if (!ReadExactly(read, stored, 4)) {
      *reason = "the file ends inside chunk " + name;
      return false;
    }
    if (PngBigEndian32(stored) != (crc ^ 0xFFFFFFFFu)) {
      *reason = "checksum error in chunk " + name;
      return false;
    }

    if (isHeader) {
      if (!ParseHeader(first, header, reason)) return false;
      sawHeader = true;
    } else if (name == "IDAT") {
      header->imageDataBytes += length;
    } else if (name == "IEND") {
      if (header->imageDataBytes == 0) {
        *reason = "it holds no image data";
        return false;
      }
      return true;
    }
  }
}

uint32_t PngCrc(const uint8_t* bytes, size_t size) {
  return UpdateCrc(0xFFFFFFFFu, bytes, size) ^ 0xFFFFFFFFu;
}

uint64_t MinimumRowBytes(const PngHeader& header) {
  const uint64_t bitsPerRow =
      uint64_t(header.width) * uint64_t(ChannelsOf(header.colourType)) * header.bitDepth;
  // Each row of a picture stored in one pass also starts with its filter byte.
  const uint64_t rowBytes = (bitsPerRow + 7) / 8 + (header.interlace ? 0 : 1);
  if (rowBytes > std::numeric_limits<uint64_t>::max() / header.height)
    return std::numeric_limits<uint64_t>::max();
  return rowBytes * header.height;
}

bool ImageDataCanFill(const PngHeader& header) {
  const uint64_t data = header.imageDataBytes;
  if (data > std::numeric_limits<uint64_t>::max() / kDeflateMaxExpansion) return true;
  return MinimumRowBytes(header) <= data * kDeflateMaxExpansion;
}

size_t PictureBytes(uint32_t width, uint32_t height, size_t maxBytes) {
  const uint64_t pixels = uint64_t(width) * height;  // below 2^64
  return pixels <= uint64_t(maxBytes) / 4 ? size_t(pixels * 4) : 0;
}

bool RefusePng(PngFailure kind, std::string text, std::string* error, PngFailure* failure) {
  *error = std::move(text);
  if (failure) *failure = kind;
  return false;
}

bool CheckPngStream(const ByteSource& read, const PngLimits& limits, std::string* error,
                    PngFailure* failure) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  uint8_t head[8] = {};
  if (!ReadExactly(read, head, 8) || std::memcmp(head, kSignature, 8) != 0)
    return RefusePng(PngFailure::NotPng, "not a PNG file", error, failure);
  PngHeader header;
  std::string reason;
  if (!ScanPngChunks(read, &header, &reason))
    return RefusePng(PngFailure::Damaged, "not a readable PNG file (" + reason + ")", error,
                     failure);
  const std::string size =
      std::to_string(header.width) + " x " + std::to_string(header.height) + " pixels";
  if (header.width > limits.maxWidth || header.height > limits.maxHeight)
    return RefusePng(PngFailure::TooLarge, "too large (" + size + ")", error, failure);
  if (!ImageDataCanFill(header))
    return RefusePng(PngFailure::Damaged,
                     "not a readable PNG file (its image data cannot fill " + size + ")", error,
                     failure);
  return true;
}

}  // namespace tessaro::cli
