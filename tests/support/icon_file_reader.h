// An independent reader of icon and cursor files and of the bitmap images in
// them, written the way the platform's loader walks them.  Shared by the tests
// of the generator and the test of the built module, whose icon resources hold
// the same image blocks.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/support/resource_readers.h"

namespace tessaro::testing {

struct IconImage {
  uint32_t headerSize = 0;
  int32_t width = 0, height = 0;  // height counts the colour and the mask rows
  uint16_t planes = 0, bitCount = 0;
  uint32_t compression = 0, sizeImage = 0, coloursUsed = 0;
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  // Top row first.  colours holds the stored pixel (0xAARRGGBB) of a 32-bit
  // image and the palette colour of a palette image.
  std::vector<uint32_t> colours;
  std::vector<uint8_t> indices;
  std::vector<bool> masked;  // the mask lets the screen through
  bool complete = false;     // every row present and nothing after the mask

  int Width() const { return width; }
  int Height() const { return height / 2; }
  size_t At(int x, int y) const { return size_t(y) * size_t(width) + size_t(x); }
};

inline IconImage ReadIconImage(const uint8_t* data, size_t size) {
  IconImage image;
  ByteReader in(data, size);
  image.headerSize = in.U32();
  image.width = int32_t(in.U32());
  image.height = int32_t(in.U32());
  image.planes = in.U16();
  image.bitCount = in.U16();
  image.compression = in.U32();
  image.sizeImage = in.U32();
  in.U32();
  in.U32();
  image.coloursUsed = in.U32();
  in.U32();
  const int w = image.Width(), h = image.Height();
  const bool paletted = image.bitCount == 8;
  if (!in.ok() || image.headerSize != 40 || w <= 0 || h <= 0 || w > 256 || h > 256 ||
      (!paletted && image.bitCount != 32))
    return image;
  if (paletted) {
    const uint32_t n = image.coloursUsed != 0 ? image.coloursUsed : 256;
    for (uint32_t i = 0; i < n && i <= 256; ++i) image.palette.push_back(in.U32() & 0xFFFFFFu);
  }
  const size_t pixels = size_t(w) * size_t(h);
  image.colours.assign(pixels, 0);
  image.indices.assign(paletted ? pixels : 0, 0);
  image.masked.assign(pixels, false);
  const size_t colourStride = (size_t(w) * image.bitCount + 31) / 32 * 4;
  const size_t maskStride = (size_t(w) + 31) / 32 * 4;
  for (int row = 0; row < h; ++row) {  // bottom row first
    const std::vector<uint8_t> bytes = in.Bytes(colourStride);
    if (!in.ok()) return image;
    for (int x = 0; x < w; ++x) {
      const size_t i = image.At(x, h - 1 - row);
      if (paletted) {
        image.indices[i] = bytes[size_t(x)];
        image.colours[i] = bytes[size_t(x)] < image.palette.size() ? image.palette[bytes[size_t(x)]] : 0;
      } else {
        const uint8_t* p = bytes.data() + 4 * size_t(x);
        image.colours[i] = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                           (uint32_t(p[3]) << 24);
      }
    }
  }
  for (int row = 0; row < h; ++row) {
    const std::vector<uint8_t> bytes = in.Bytes(maskStride);
    if (!in.ok()) return image;
    for (int x = 0; x < w; ++x)
      image.masked[image.At(x, h - 1 - row)] = (bytes[size_t(x / 8)] >> (7 - x % 8)) & 1;
  }
  image.complete = in.remaining() == 0;
  return image;
}

struct IconEntry {
  uint8_t width = 0, height = 0, colourCount = 0, reserved = 0;
  uint16_t planesOrHotX = 0, bitCountOrHotY = 0;  // icons: planes, bits; cursors: hot spot
  uint32_t bytes = 0, offset = 0;
};

struct IconFile {
  uint16_t reserved = 0xFFFF, type = 0, count = 0;
  std::vector<IconEntry> entries;
  std::vector<IconImage> images;  // one per entry whose bytes lie inside the file
  bool imagesTileFile = false;    // directory, then the images back to back to the end
};

inline IconFile ReadIconFile(const std::vector<uint8_t>& file) {
  IconFile f;
  ByteReader in(file.data(), file.size());
  f.reserved = in.U16();
  f.type = in.U16();
  f.count = in.U16();
  for (uint16_t i = 0; i < f.count && in.ok(); ++i) {
    IconEntry e;
    e.width = in.U8();
    e.height = in.U8();
    e.colourCount = in.U8();
    e.reserved = in.U8();
    e.planesOrHotX = in.U16();
    e.bitCountOrHotY = in.U16();
    e.bytes = in.U32();
    e.offset = in.U32();
    if (in.ok()) f.entries.push_back(e);
  }
  if (!in.ok()) return f;
  size_t expectedOffset = in.offset();
  bool tiled = true;
  for (const IconEntry& e : f.entries) {
    if (uint64_t(e.offset) + e.bytes > file.size()) return f;
    tiled = tiled && e.offset == expectedOffset;
    expectedOffset = size_t(e.offset) + e.bytes;
    f.images.push_back(ReadIconImage(file.data() + e.offset, e.bytes));
  }
  f.imagesTileFile = tiled && expectedOffset == file.size();
  return f;
}

}  // namespace tessaro::testing
