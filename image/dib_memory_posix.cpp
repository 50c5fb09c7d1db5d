// Native build: nothing draws into the pixels but the core itself, so a plain
// heap block is the whole bitmap.
#include <cstddef>
#include <new>

#include "image/dib_memory.h"

namespace tessaro {

DibMemory AllocateDibMemory(const DibInfo& /*info*/, int32_t stride, int32_t height) {
  if (stride <= 0 || height <= 0) return {nullptr, nullptr};
  uint32_t* pixels = new (std::nothrow) uint32_t[size_t(stride) * size_t(height)];
  return {pixels, pixels};
}

void FreeDibMemory(void* /*bitmap*/, uint32_t* pixels) { delete[] pixels; }

}  // namespace tessaro
