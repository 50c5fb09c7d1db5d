#include "image/dib.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "image/dib_memory.h"
#include "image/pixel.h"

namespace tessaro {

namespace {

uint32_t ClampByte(int32_t v) { return uint32_t(std::clamp<int32_t>(v, 0, 255)); }

// The source pixel as DrawOver and BlendSameSize composite it: its alpha scaled
// by the opacity, but never rounded away entirely, so a faint layer over a
// visible pixel still leaves a trace.
uint32_t ScaledSource(uint32_t s, uint32_t opacity) {
  const uint32_t as = PixelAlpha(s);
  uint32_t g = opacity * as / 255;
  if (g == 0 && opacity != 0 && as != 0) g = 1;
  return (g << 24) | PixelColour(s);
}

}  // namespace

int64_t DibBlockBytes(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return -1;
  const int64_t stride = (int64_t(width) + 3) & ~int64_t(3);
  // stride * height is below 2^62, so the comparison itself cannot overflow.
  if (stride * height > kMaxDibBytes / 4) return -1;
  return stride * height * 4;
}

CDib::~CDib() { Destroy(); }

CDib::CDib(CDib&& other) noexcept { TakeFrom(other); }

CDib& CDib::operator=(CDib&& other) noexcept {
  if (this != &other) {
    Destroy();
    TakeFrom(other);
  }
  return *this;
}

void CDib::TakeFrom(CDib& other) {
  outside_ = other.outside_;
  clip_ = other.clip_;
  bitmap_ = other.bitmap_;
  dc_ = other.dc_;
  pixels_ = other.pixels_;
  info_ = other.info_;
  width_ = other.width_;
  height_ = other.height_;
  stride_ = other.stride_;
  other.clip_ = {kDibNoClip, 0, 0, 0};
  other.bitmap_ = nullptr;
  other.dc_ = nullptr;
  other.pixels_ = nullptr;
  other.info_ = nullptr;
  other.width_ = other.height_ = other.stride_ = 0;
}

bool CDib::Create(int32_t width, int32_t height) {
  if (pixels_ != nullptr && info_ != nullptr && width == width_ && height == height_) {
    ClearBlock();
    return true;
  }
  Destroy();
  const int64_t bytes = DibBlockBytes(width, height);
  if (bytes < 0) return false;
  const int32_t stride = int32_t((int64_t(width) + 3) & ~int64_t(3));

  info_ = new (std::nothrow) DibInfo{};
  if (info_ == nullptr) return false;
  DibHeader& h = info_->header;
  h.size = sizeof(DibHeader);
  h.width = stride;
  h.height = -height;
  h.planes = 1;
  h.bitCount = 32;
  h.compression = 0;
  h.sizeImage = uint32_t(bytes);

  const DibMemory memory = AllocateDibMemory(*info_, stride, height);
  bitmap_ = memory.bitmap;
  pixels_ = memory.pixels;
  if (bitmap_ == nullptr || pixels_ == nullptr) {
    Destroy();
    return false;
  }
  width_ = width;
  height_ = height;
  stride_ = stride;
  clip_ = {0, 0, width, height};
  ClearBlock();
  return true;
}

void CDib::Destroy() {
#ifdef _WIN32
  // The platform will not delete a bitmap that is still selected somewhere.
  if (dc_ != nullptr) ReleaseDC();
#endif
  if (bitmap_ != nullptr || pixels_ != nullptr) FreeDibMemory(bitmap_, pixels_);
  delete info_;
  info_ = nullptr;
  bitmap_ = nullptr;
  pixels_ = nullptr;
  width_ = height_ = stride_ = 0;
  // A stale rectangle would make the freed memory addressable again.
  clip_ = {kDibNoClip, 0, 0, 0};
}

int CDib::Width() const { return info_ != nullptr ? width_ : 0; }
int CDib::Height() const { return info_ != nullptr ? height_ : 0; }
int CDib::Stride() const { return info_ != nullptr ? stride_ : 0; }
const DibHeader* CDib::Header() const { return info_ != nullptr ? &info_->header : nullptr; }

void CDib::ClearBlock() {
  if (pixels_ != nullptr) std::memset(pixels_, 0, BlockWords() * sizeof(uint32_t));
}

void CDib::Fill(uint32_t colour) {
  if (pixels_ == nullptr) return;
  uint32_t* p = pixels_;
  uint32_t* const end = p + BlockWords();
  const uint32_t alpha = PixelAlpha(colour);
  if (alpha == 0 || alpha == 255) {
    std::fill(p, end, colour);
  } else {
    for (; p != end; ++p) *p = BlendPixelOver(*p, colour);
  }
}

void CDib::CopyTo(CDib& destination) const {
  if (pixels_ == nullptr || &destination == this) return;
  if (destination.pixels_ == nullptr || destination.width_ != width_ ||
      destination.height_ != height_) {
    if (!destination.Create(width_, height_)) throw std::bad_alloc();
  }
  std::memcpy(destination.pixels_, pixels_, BlockWords() * sizeof(uint32_t));
}

void CDib::DrawOver(const CDib& source, int32_t x, int32_t y, int32_t opacity) {
  if (pixels_ == nullptr || source.pixels_ == nullptr) return;
  const uint32_t op = ClampByte(opacity);
  if (op == 0) return;
  // Overlap in this image's coordinates, computed in 64 bits so that far-off
  // positions cannot wrap around into view.
  const DibRect& sc = source.clip_;
  const int64_t x0 = std::max<int64_t>(clip_.left, int64_t(x) + sc.left);
  const int64_t y0 = std::max<int64_t>(clip_.top, int64_t(y) + sc.top);
  const int64_t x1 = std::min<int64_t>(clip_.right, int64_t(x) + sc.right);
  const int64_t y1 = std::min<int64_t>(clip_.bottom, int64_t(y) + sc.bottom);
  if (x0 >= x1 || y0 >= y1) return;
  for (int64_t dy = y0; dy < y1; ++dy) {
    uint32_t* d = &At(int32_t(x0), int32_t(dy));
    const uint32_t* s = source.pixels_ + size_t(dy - y) * size_t(source.stride_) + size_t(x0 - x);
    for (int64_t dx = x0; dx < x1; ++dx, ++d, ++s) *d = BlendPixelOver(*d, ScaledSource(*s, op));
  }
}

void CDib::BlendSameSize(const CDib& source, int32_t opacity) {
  if (pixels_ == nullptr || source.pixels_ == nullptr) return;
  if (source.width_ != width_ || source.height_ != height_) return;
  const uint32_t op = ClampByte(opacity);
  if (op == 0) return;
  const uint32_t* s = source.pixels_;
  uint32_t* d = pixels_;
  uint32_t* const end = d + BlockWords();
  for (; d != end; ++d, ++s) *d = BlendPixelOver(*d, ScaledSource(*s, op));
}

uint32_t CDib::PixelAt(int32_t x, int32_t y) const {
  if (!Contains(x, y)) return outside_;
  return pixels_[size_t(y) * size_t(stride_) + size_t(x)];
}

void CDib::SetPixel(int32_t x, int32_t y, uint32_t colour) {
  if (Contains(x, y)) At(x, y) = colour;
}

void CDib::BlendPixel(int32_t x, int32_t y, uint32_t colour) {
  if (!Contains(x, y)) return;
  uint32_t& p = At(x, y);
  const uint32_t alpha = PixelAlpha(colour);
  if (alpha == 255) {
    p = colour;
  } else if (alpha == 0) {
    // Painting with a fully transparent colour erases: this is how shapes
    // punch holes into an image.
    p = PixelColour(p);
  } else {
    p = BlendPixelOver(p, colour);
  }
}

void CDib::EraseAlpha(int32_t x, int32_t y, int32_t amount) {
  if (!Contains(x, y)) return;
  uint32_t& p = At(x, y);
  const uint32_t a = ClampByte(amount);
  const uint32_t alpha = a == 255 ? 0 : PixelAlpha(p) * (255 - a) / 255;
  p = (alpha << 24) | PixelColour(p);
}

}  // namespace tessaro
