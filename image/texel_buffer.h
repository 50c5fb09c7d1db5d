// Pixel storage that is not cleared when it is made.  The relief's big images
// are written in full by the pass that makes them; clearing them first would
// be one more pass over tens of megabytes for nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace tessaro {

// std::allocator, except that value-initialisation (resize, the size
// constructor) leaves trivial elements as they are.
template <class T>
struct DefaultInitAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() = default;
  template <class U>
  DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible<U>::value) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    std::allocator_traits<std::allocator<T>>::construct(static_cast<std::allocator<T>&>(*this), p,
                                                        std::forward<Args>(args)...);
  }
};

// Texels of a texture, row-major with no padding.  Made at a size, its
// contents are undefined until written.
using TexelBuffer = std::vector<uint32_t, DefaultInitAllocator<uint32_t>>;

}  // namespace tessaro
