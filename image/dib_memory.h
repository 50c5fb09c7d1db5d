// Where a CDib's pixel memory comes from: the Windows build makes it a bitmap
// section the platform can draw into and out of; the native build uses a plain
// heap block.  Neither throws.
#pragma once

#include <cstdint>

#include "image/dib.h"

namespace tessaro {

struct DibMemory {
  void* bitmap;      // platform object owning the pixels; null on failure
  uint32_t* pixels;  // first pixel of the top row; null on failure
};

// stride * height 32-bit pixels laid out as info describes (top-down rows).
DibMemory AllocateDibMemory(const DibInfo& info, int32_t stride, int32_t height);
void FreeDibMemory(void* bitmap, uint32_t* pixels);

}  // namespace tessaro
