#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "image/dib.h"
#include "image/resample_data.h"
#include "image/resample_filters.h"
#include "image/two_pass_scale.h"

namespace tessaro {

void CDib::Stretch(CDib& destination, double filterWidth, const DibRect& destinationRect) const {
  if (pixels_ == nullptr) return;
  if (destination.pixels_ == nullptr && !destination.Create(width_, height_)) throw std::bad_alloc();

  const bool whole = destinationRect.left == -1 && destinationRect.top == -1 &&
                     destinationRect.right == -1 && destinationRect.bottom == -1;
  const DibRect target =
      whole ? DibRect{0, 0, destination.width_, destination.height_} : destinationRect;
  const int64_t outWidth = int64_t(target.right) - target.left;
  const int64_t outHeight = int64_t(target.bottom) - target.top;
  if (outWidth <= 0 || outHeight <= 0 || outWidth > INT32_MAX || outHeight > INT32_MAX) return;

  // Only the part of the target inside the destination is computed; its
  // samples are those of the whole resampling.
  const DibRect& clip = destination.clip_;
  const int64_t left = std::max<int64_t>(target.left, clip.left);
  const int64_t top = std::max<int64_t>(target.top, clip.top);
  const int64_t right = std::min<int64_t>(target.right, clip.right);
  const int64_t bottom = std::min<int64_t>(target.bottom, clip.bottom);
  if (left >= right || top >= bottom) return;

  std::vector<const uint32_t*> inRows(static_cast<size_t>(height_));
  for (int32_t y = 0; y < height_; ++y) inRows[size_t(y)] = pixels_ + size_t(y) * size_t(stride_);
  std::vector<uint32_t*> outRows(static_cast<size_t>(bottom - top));
  for (int64_t y = top; y < bottom; ++y) {
    outRows[size_t(y - top)] = &destination.At(int32_t(left), int32_t(y));
  }

  const DibRect part = {int32_t(left - target.left), int32_t(top - target.top),
                        int32_t(right - target.left), int32_t(bottom - target.top)};
  C2PassScale<CBilinearFilter, CDataPaintLib32> scaler(filterWidth);
  scaler.ResamplePart(inRows.data(), width_, height_, outRows.data(), int32_t(outWidth),
                      int32_t(outHeight), part);
}

}  // namespace tessaro
