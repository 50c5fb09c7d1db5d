// CDib: the one image type.  32-bit pixels (see pixel.h), rows top-down, each
// row padded to a multiple of 4 pixels, in one block the platform can also draw
// with.  Reads outside the clip rectangle return the outside value (0) and
// writes there are ignored, so an empty image is safe to use everywhere.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaro {

struct DibRect {
  int32_t left, top, right, bottom;
};

// Byte-for-byte the platform's 40-byte bitmap information header, declared
// here so that the portable code never needs the platform headers.
struct DibHeader {
  uint32_t size;
  int32_t width;
  int32_t height;  // negative: rows are stored top-down
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t sizeImage;
  int32_t xPelsPerMeter;
  int32_t yPelsPerMeter;
  uint32_t clrUsed;
  uint32_t clrImportant;
};
static_assert(sizeof(DibHeader) == 40, "bitmap header must keep the platform layout");

// The header followed by the single colour entry the platform's bitmap info
// carries; this whole 44-byte block is what the platform is handed.
struct DibInfo {
  DibHeader header;
  uint32_t colors[1];
};
static_assert(sizeof(DibInfo) == 44, "bitmap info must keep the platform layout");

// Largest pixel block CDib::Create accepts.  The header's image size is a
// 32-bit field and the platform refuses larger sections anyway; staying below
// 2^31 also keeps every byte count representable as a signed 32-bit value.
constexpr int64_t kMaxDibBytes = INT32_MAX;

// Bytes of the stride x height block for an image of this size, or -1 when
// CDib::Create would refuse the size.
int64_t DibBlockBytes(int32_t width, int32_t height);

// Marker in the clip rectangle's left edge of an image whose rectangle was
// never set (freshly constructed or destroyed).
constexpr int32_t kDibNoClip = -9999;

// Destination rectangle of CDib::Stretch meaning the whole destination image.
constexpr DibRect kDibWholeImage = {-1, -1, -1, -1};

class CDib {
 public:
  CDib() = default;
  ~CDib();
  CDib(const CDib&) = delete;
  CDib& operator=(const CDib&) = delete;
  CDib(CDib&& other) noexcept;
  CDib& operator=(CDib&& other) noexcept;

  // Re-creating at the current size keeps the memory and clears it to 0.  Any
  // other size replaces the image; on failure (size <= 0, too large, out of
  // memory) the result is false and the image is left empty.  Never throws.
  bool Create(int32_t width, int32_t height);
  void Destroy();

  int Width() const;   // 0 when empty
  int Height() const;  // 0 when empty
  int Stride() const;  // pixels from one row to the next; 0 when empty
  uint32_t* Pixels() { return pixels_; }
  const uint32_t* Pixels() const { return pixels_; }
  const DibHeader* Header() const;  // null when empty
  const DibRect& ClipRect() const { return clip_; }

  // The whole-block operations below include the padding columns.
  void Fill(uint32_t colour);
  // Throws std::bad_alloc when the destination cannot be made, as every
  // operation that needs new pixels does: an image is never left empty in
  // place of the pixels it should hold.
  void CopyTo(CDib& destination) const;
  // opacity is 0..255; values outside are clamped.
  void DrawOver(const CDib& source, int32_t x, int32_t y, int32_t opacity);
  void BlendSameSize(const CDib& source, int32_t opacity);
  // Resamples the whole image into destinationRect of destination with the
  // bilinear kernel of filterWidth (below 1e-5: its default), alpha-aware:
  // fully transparent pixels lend no colour.  Equal sizes blur.  An empty
  // destination is first created at this image's size; only the part of the
  // rectangle inside the destination is written, and an empty or inverted
  // rectangle, or one wider or taller than 2^31 - 1, changes nothing.  May
  // throw std::bad_alloc.  The destination may be this image.
  void Stretch(CDib& destination, double filterWidth,
               const DibRect& destinationRect = kDibWholeImage) const;

  uint32_t PixelAt(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, uint32_t colour);
  void BlendPixel(int32_t x, int32_t y, uint32_t colour);
  // amount is 0..255; values outside are clamped.
  void EraseAlpha(int32_t x, int32_t y, int32_t amount);

  // Anti-aliased shapes (dib_shapes.cpp).  A coverage mask holds 0..255 in the
  // blue byte of each pixel, already scaled by the drawing colour's alpha (an
  // alpha of 0 counts as 255 there).  Compositing a colour of alpha 0 erases
  // the target's alpha by the coverage instead of painting.  Shapes are
  // clipped to this image; one that cannot get its working memory draws
  // nothing.
  static constexpr int32_t kSupersample = 8;  // per axis, for ellipse coverage
  void ApplyMask(const CDib& mask, uint32_t colour);
  void ApplyMask(const CDib& mask, uint32_t colour, const DibRect& rect);
  // This image is the large mask: averages blocks of Width() / destination
  // width pixels per side into opaque grey destination pixels within rect.
  void Downsample(CDib& destination, const DibRect& rect) const;
  // The ellipse inscribed in the pixel box left..right x top..bottom
  // (inclusive), less the ellipse inset by ringWidth on every side.
  void DrawEllipseRing(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour,
                       int32_t ringWidth);
  // The ellipse inscribed in the pixel box (inclusive), inset by a quarter pixel.
  void FillEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour);
  // From the centre of (x0, y0) to that of (x1, y1), both ends included, width
  // pixels across.
  void DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour, int32_t width);

#ifdef _WIN32
  // Opaque stand-ins for the platform's drawing context handle.  GetDC and
  // ReleaseDC must be paired within one operation; touch the pixels directly
  // only after ReleaseDC, which flushes the platform's pending drawing.
  void* GetDC();
  void ReleaseDC();
  // Result of the platform's stretch call, 0 when the image is empty.
  int Draw(void* dc, const DibRect& destination) const;
  int Draw(void* dc, const DibRect& destination, const DibRect& source) const;
#endif

 private:
  bool Contains(int32_t x, int32_t y) const {
    return x >= clip_.left && x < clip_.right && y >= clip_.top && y < clip_.bottom;
  }
  uint32_t& At(int32_t x, int32_t y) { return pixels_[size_t(y) * size_t(stride_) + size_t(x)]; }
  size_t BlockWords() const { return size_t(stride_) * size_t(height_); }
  void ClearBlock();
  void TakeFrom(CDib& other);

  uint32_t outside_ = 0;
  DibRect clip_ = {kDibNoClip, 0, 0, 0};
  void* bitmap_ = nullptr;
  void* dc_ = nullptr;
  uint32_t* pixels_ = nullptr;
  DibInfo* info_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t stride_ = 0;
};

}  // namespace tessaro
