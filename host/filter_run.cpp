#include "host/filter_run.h"

#include <cstring>

#include "host/host_rects.h"
#include "host/plugin_errors.h"
#include "image/dib.h"
#include "image/pixel.h"
#include "image/reference_paths.h"

namespace tessaro::host {

namespace {
constexpr int kMargin = 2;

// The cases after this one are layers with transparency.
constexpr int16_t kLastFlatCase = kFilterCaseFloatingSelection;

[[noreturn]] void UnreadableLayout() {
  ThrowText("The image data handed over by the host has a layout Tessaro cannot read.");
}
}  // namespace

void RequestWholeImage(FilterRecord& record) {
  if (record.filterCase > kLastFlatCase && record.planes == 3) record.planes = 4;
  const VRect whole = FilterRectOf(record);
  const VRect none{0, 0, 0, 0};
  RequestRects(record, whole, whole, record.haveMask ? whole : none);
  record.autoMask = 0;  // the filter weights the selection itself
  record.inLoPlane = record.outLoPlane = 0;
  record.inHiPlane = record.outHiPlane = int16_t(record.planes - 1);
}

BufferCheck CheckBuffers(const FilterRecord& record) {
  if (!record.outData) return BufferCheck::NoOutput;
  if (!record.inData) return BufferCheck::NoInput;
  if (record.haveMask && !record.maskData) return BufferCheck::NoMask;
  return BufferCheck::Ok;
}

HostPixels ViewOfBuffers(FilterRecord& record) {
  HostPixels p;
  const VRect r = FilterRectOf(record);
  const int64_t w = int64_t(r.right) - r.left, h = int64_t(r.bottom) - r.top;
  if (w <= 0 || h <= 0 || w > INT32_MAX || h > INT32_MAX) UnreadableLayout();
  if (record.planes != 3 && record.planes != 4) UnreadableLayout();
  p.width = int32_t(w);
  p.height = int32_t(h);
  p.planes = record.planes;
  p.in = static_cast<const uint8_t*>(record.inData);
  p.inRowBytes = record.inRowBytes;
  p.out = static_cast<uint8_t*>(record.outData);
  p.outRowBytes = record.outRowBytes;
  if (p.inRowBytes < w * p.planes || p.outRowBytes < w * p.planes) UnreadableLayout();
  if (record.maskData) {
    p.mask = static_cast<const uint8_t*>(record.maskData);
    p.maskRowBytes = record.maskRowBytes;
    if (p.maskRowBytes < w) UnreadableLayout();
  }
  const RGBColor16 bg = record.background;
  p.background[0] = uint8_t(bg.red >> 8);
  p.background[1] = uint8_t(bg.green >> 8);
  p.background[2] = uint8_t(bg.blue >> 8);
  return p;
}

BoundsResult FindObjectBounds(const HostPixels& pixels, ObjectBounds& bounds) {
  if (!pixels.mask && pixels.planes < 4) return BoundsResult::NoSelection;
  const int32_t w = pixels.width, h = pixels.height;
  int32_t minX = w, minY = h, maxX = -1, maxY = -1;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      if (pixels.Coverage(x, y) == 0) continue;
      if (x < minX) minX = x;
      if (x > maxX) maxX = x;
      if (y < minY) minY = y;
      if (y > maxY) maxY = y;
    }
  }
  if (pixels.planes >= 4) {
    // One pixel wide or tall makes no relief either.
    if (minX >= maxX || minY >= maxY) return BoundsResult::Empty;
  } else if (maxX < 0) {
    minX = maxX = minY = maxY = 0;
  }
  bounds.imageWidth = w;
  bounds.imageHeight = h;
  bounds.left = minX - kMargin < 0 ? 0 : minX - kMargin;
  bounds.top = minY - kMargin < 0 ? 0 : minY - kMargin;
  bounds.right = maxX + kMargin > w - 1 ? w - 1 : maxX + kMargin;
  bounds.bottom = maxY + kMargin > h - 1 ? h - 1 : maxY + kMargin;
  return BoundsResult::Found;
}

void CompositeResult(const HostPixels& pixels, const CDib& renderTarget) {
  const int32_t w = pixels.width, h = pixels.height;
  const bool fourPlanes = pixels.planes >= 4;
  const uint32_t background =
      MakePixel(0, pixels.background[0], pixels.background[1], pixels.background[2]);
  const DibRect& clip = renderTarget.ClipRect();
  if (!pixels.mask && fourPlanes && !ReferencePathsSelected() && clip.left == 0 && clip.top == 0 &&
      clip.right >= w && clip.bottom >= h) {
    // Over a cleared pixel the over operator gives the render's own pixel, or
    // nothing where that is fully transparent: one pass, no blending.
    for (int32_t y = 0; y < h; ++y) {
      const uint32_t* in = renderTarget.Pixels() + size_t(y) * size_t(renderTarget.Stride());
      uint8_t* o = pixels.Out(0, y);
      for (int32_t x = 0; x < w; ++x, o += pixels.planes) {
        const uint32_t p = PixelAlpha(in[x]) == 0 ? 0 : in[x];
        o[0] = uint8_t(PixelRed(p));
        o[1] = uint8_t(PixelGreen(p));
        o[2] = uint8_t(PixelBlue(p));
        o[3] = uint8_t(PixelAlpha(p));
      }
    }
    return;
  }
  if (!pixels.mask) {
    // Only the pixels of each row: a host need not own the last row's padding.
    for (int32_t y = 0; y < h; ++y) std::memset(pixels.Out(0, y), 0, size_t(w) * size_t(pixels.planes));
  }
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint8_t* o = pixels.Out(x, y);
      if (pixels.mask) {
        const uint8_t* i = pixels.In(x, y);
        const uint8_t m = pixels.Mask(x, y);
        if (fourPlanes) {
          o[0] = i[0];
          o[1] = i[1];
          o[2] = i[2];
          // Where nothing is selected the layer keeps its own transparency:
          // the host was asked not to copy the source into the output.
          o[3] = m > 0 ? uint8_t(uint32_t(i[3]) * (255 - m) / 255) : i[3];
        } else {
          const double t = double(255 - m) / 255;
          const uint32_t mixed = MixColor(MakePixel(0, i[0], i[1], i[2]), background, t);
          o[0] = uint8_t(PixelRed(mixed));
          o[1] = uint8_t(PixelGreen(mixed));
          o[2] = uint8_t(PixelBlue(mixed));
        }
      }
      const uint32_t alpha = fourPlanes ? o[3] : 255;
      const uint32_t d = MakePixel(alpha, o[0], o[1], o[2]);
      const uint32_t result = BlendPixelOver(d, renderTarget.PixelAt(x, y));
      o[0] = uint8_t(PixelRed(result));
      o[1] = uint8_t(PixelGreen(result));
      o[2] = uint8_t(PixelBlue(result));
      if (fourPlanes) o[3] = uint8_t(PixelAlpha(result));
    }
  }
}

}  // namespace tessaro::host
