// Windows build: the pixels live in a device-independent bitmap section, so the
// platform can draw text and shapes into an image and copy images to windows.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "image/dib.h"
#include "image/dib_memory.h"

namespace tessaro {

static_assert(sizeof(DibHeader) == sizeof(BITMAPINFOHEADER), "header layout");
static_assert(offsetof(DibHeader, width) == offsetof(BITMAPINFOHEADER, biWidth), "header layout");
static_assert(offsetof(DibHeader, planes) == offsetof(BITMAPINFOHEADER, biPlanes), "header layout");
static_assert(offsetof(DibHeader, sizeImage) == offsetof(BITMAPINFOHEADER, biSizeImage), "header layout");
static_assert(offsetof(DibHeader, clrImportant) == offsetof(BITMAPINFOHEADER, biClrImportant), "header layout");
static_assert(sizeof(DibInfo) == sizeof(BITMAPINFO), "bitmap info layout");

namespace {

// The bitmap a fresh memory context starts with.  It is the same stock object
// for every memory context, so one slot serves any number of open contexts.
HGDIOBJ g_defaultBitmap = nullptr;

int Span(int32_t from, int32_t to) {
  const int64_t d = int64_t(to) - int64_t(from);
  return int(std::clamp<int64_t>(d, INT32_MIN, INT32_MAX));
}

}  // namespace

DibMemory AllocateDibMemory(const DibInfo& info, int32_t stride, int32_t height) {
  if (stride <= 0 || height <= 0) return {nullptr, nullptr};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info),
                                    DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    return {nullptr, nullptr};
  }
  return {bitmap, static_cast<uint32_t*>(bits)};
}

void FreeDibMemory(void* bitmap, uint32_t* /*pixels*/) {
  if (bitmap != nullptr) DeleteObject(static_cast<HBITMAP>(bitmap));
}

void* CDib::GetDC() {
  if (dc_ != nullptr) return dc_;
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) return nullptr;
  // An empty image still hands out a working context; drawing into it simply
  // lands on the context's default bitmap and is lost.
  if (bitmap_ != nullptr) {
    HGDIOBJ previous = SelectObject(dc, static_cast<HBITMAP>(bitmap_));
    if (previous != nullptr && previous != HGDI_ERROR) g_defaultBitmap = previous;
  }
  dc_ = dc;
  return dc_;
}

void CDib::ReleaseDC() {
  if (dc_ == nullptr) return;
  HDC dc = static_cast<HDC>(dc_);
  // Drawing may still be batched; the core reads the pixels right after this.
  GdiFlush();
  if (g_defaultBitmap != nullptr) SelectObject(dc, g_defaultBitmap);
  DeleteDC(dc);
  dc_ = nullptr;
}

int CDib::Draw(void* dc, const DibRect& destination) const {
  return Draw(dc, destination, DibRect{0, 0, width_, height_});
}

int CDib::Draw(void* dc, const DibRect& destination, const DibRect& source) const {
  if (pixels_ == nullptr || info_ == nullptr || dc == nullptr) return 0;
  HDC hdc = static_cast<HDC>(dc);
  SetStretchBltMode(hdc, COLORONCOLOR);
  // For a top-down bitmap the platform measures the source's top edge from the
  // bottom row unless the copy is unstretched and starts at the origin.  Handing
  // it only the band of rows wanted, starting at its row 0, reads the same under
  // either rule.  A source reaching outside the rows is rare enough to be left
  // to the flipped reading alone.
  DibInfo band = *info_;
  const void* bits = pixels_;
  int sourceTop = 0;
  const int sourceHeight = Span(source.top, source.bottom);
  if (source.top >= 0 && source.top < source.bottom && source.bottom <= height_) {
    bits = pixels_ + size_t(source.top) * size_t(stride_);
    band.header.height = -sourceHeight;
    band.header.sizeImage = uint32_t(sourceHeight) * uint32_t(stride_) * 4u;
  } else {
    sourceTop = Span(source.bottom, height_);
  }
  return StretchDIBits(hdc, destination.left, destination.top,
                       Span(destination.left, destination.right),
                       Span(destination.top, destination.bottom), source.left, sourceTop,
                       Span(source.left, source.right), sourceHeight, bits,
                       reinterpret_cast<const BITMAPINFO*>(&band), DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace tessaro
