// Separable filtered resampling: a horizontal pass resamples every input row
// into an intermediate image of the output width, then a vertical pass
// resamples its columns into the output.  Equal sizes still convolve, so the
// same machinery blurs.
//
// Filter is a kernel derived from CGenericFilter (resample_filters.h); Data is
// a pixel adapter (resample_data.h) with a Sample type and Convolve.
#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "image/dib.h"
#include "image/reference_paths.h"
#include "image/resample_data.h"
#include "image/worker_pool.h"
#include "image/resample_filters.h"
#include "image/resample_weights.h"

namespace tessaro {

template <class Filter, class Data>
class C2PassScale {
 public:
  using Sample = typename Data::Sample;

  // A requested width below kMinFilterWidth selects the kernel's default.
  explicit C2PassScale(double requestedWidth = 0.0) : width_(requestedWidth) {}

  // Resamples inWidth x inHeight samples into outWidth x outHeight.  Rows are
  // given as arrays of row starts, so any rectangle of a larger image can be
  // used; input and output may share memory, since the output is written only
  // after the input has been read.  The result is outRows, or null (nothing
  // written) when a size is not positive or a row array is missing.  Memory
  // beyond kMaxResampleBytes per block, or not available, throws
  // std::bad_alloc.
  Sample* const* Resample(const Sample* const* inRows, int32_t inWidth, int32_t inHeight,
                          Sample* const* outRows, int32_t outWidth, int32_t outHeight) {
    return ResamplePart(inRows, inWidth, inHeight, outRows, outWidth, outHeight,
                        {0, 0, outWidth, outHeight});
  }

  // As Resample, but computes only the part of the outWidth x outHeight output
  // that lies in the rectangle part (which must lie within the output); the
  // samples are those of the whole resampling.  outRows holds one start per
  // row of part, pointing at its left column.
  Sample* const* ResamplePart(const Sample* const* inRows, int32_t inWidth, int32_t inHeight,
                              Sample* const* outRows, int32_t outWidth, int32_t outHeight,
                              const DibRect& part);

  ResampleWeights BuildWeights(int32_t outSize, int32_t inSize, double scale) const {
    return tessaro::BuildWeights(MakeFilter<Filter>(width_), outSize, inSize, scale);
  }

 private:
  double width_;
};

template <class Filter, class Data>
typename C2PassScale<Filter, Data>::Sample* const* C2PassScale<Filter, Data>::ResamplePart(
    const Sample* const* inRows, int32_t inWidth, int32_t inHeight, Sample* const* outRows,
    int32_t outWidth, int32_t outHeight, const DibRect& part) {
  if (inRows == nullptr || outRows == nullptr) return nullptr;
  if (inWidth <= 0 || inHeight <= 0 || outWidth <= 0 || outHeight <= 0) return nullptr;
  if (part.left < 0 || part.top < 0 || part.left >= part.right || part.top >= part.bottom ||
      part.right > outWidth || part.bottom > outHeight) {
    return nullptr;
  }
  const int32_t partWidth = part.right - part.left;
  const Filter kernel = MakeFilter<Filter>(width_);

  std::vector<Sample> temp(CheckedResampleCount(int64_t(inHeight) * partWidth, sizeof(Sample)));
  const bool reference = ReferencePathsSelected();
  // The fast path notes per intermediate row the columns outside of which it
  // is all zero.  Taps that are all zero give zero with either adapter (the
  // sums stay exactly 0), so those outputs need no convolution.
  struct Extent {
    int32_t first, last;  // first > last: all zero
  };
  auto NonZeroExtent = [](const Sample* row, int32_t width) {
    int32_t first = 0, last = width - 1;
    while (first < width && row[first] == Sample{}) ++first;
    while (last > first && row[last] == Sample{}) --last;
    return first < width ? Extent{first, last} : Extent{width, -1};
  };
  std::vector<Extent> nonZero(reference ? 0 : size_t(inHeight));
  {
    const ResampleWeights across = tessaro::BuildWeights(
        kernel, outWidth, inWidth, double(outWidth) / double(inWidth), part.left, part.right);
    auto rowsOf = [&](int thread, int threads) {
      if constexpr (std::is_same_v<Data, CDataPaintLib16>) {
        if (!reference) {
          CDataPaintLib16::AcrossRows pass(across, part.left, part.right, inWidth);
          for (int32_t y = 0; y < inHeight; ++y) {
            if (!OwnsRow(y, thread, threads)) continue;
            Sample* const out = temp.data() + size_t(y) * size_t(partWidth);
            pass.Convolve(inRows[y], out);
            nonZero[size_t(y)] = NonZeroExtent(out, partWidth);
          }
          return;
        }
      }
      for (int32_t y = 0; y < inHeight; ++y) {
        if (!OwnsRow(y, thread, threads)) continue;
        const Sample* const in = inRows[y];
        Sample* const out = temp.data() + size_t(y) * size_t(partWidth);
        if (reference) {
          for (int32_t u = part.left; u < part.right; ++u) {
            const ResampleTaps t = across.Taps(u);
            out[u - part.left] = Data::Convolve(in + t.first, t.weights, t.count);
          }
          continue;
        }
        int32_t a = 0, b = inWidth - 1;
        while (a < inWidth && in[a] == Sample{}) ++a;
        while (b > a && in[b] == Sample{}) --b;
        Extent e{partWidth, -1};
        for (int32_t u = part.left; u < part.right; ++u) {
          const ResampleTaps t = across.Taps(u);
          Sample r{};
          if (t.count > 0 && t.first <= b && t.first + t.count - 1 >= a)
            r = Data::Convolve(in + t.first, t.weights, t.count);
          out[u - part.left] = r;
          if (r != Sample{}) {
            e.first = std::min(e.first, u - part.left);
            e.last = u - part.left;
          }
        }
        nonZero[size_t(y)] = e;
      }
    };
    if (reference) {
      rowsOf(0, 1);
    } else {
      // Rows are independent: the same samples whichever thread computes them.
      const int threads = ThreadsFor(int64_t(inHeight) * partWidth);
      RunOnWorkers(threads, [&](int thread) { rowsOf(thread, threads); });
    }
  }

  const ResampleWeights down = tessaro::BuildWeights(
      kernel, outHeight, inHeight, double(outHeight) / double(inHeight), part.top, part.bottom);
  if (!reference) {
    // Whole rows at a time: each output row sums its input rows in tap order,
    // which is the order Convolve sums a column in.
    const int threads = ThreadsFor(int64_t(part.bottom - part.top) * partWidth);
    RunOnWorkers(threads, [&](int thread) {
      std::vector<const Sample*> taps;
      typename Data::RowSums sums(partWidth);
      for (int32_t v = part.top; v < part.bottom; ++v) {
        if (!OwnsRow(v, thread, threads)) continue;
        const ResampleTaps t = down.Taps(v);
        taps.resize(size_t(t.count));
        Extent e{partWidth, -1};
        for (int32_t j = 0; j < t.count; ++j) {
          taps[size_t(j)] = temp.data() + size_t(t.first + j) * size_t(partWidth);
          e.first = std::min(e.first, nonZero[size_t(t.first + j)].first);
          e.last = std::max(e.last, nonZero[size_t(t.first + j)].last);
        }
        Sample* const out = outRows[v - part.top];
        if (e.first > e.last) e = {0, -1};
        std::fill(out, out + e.first, Sample{});
        std::fill(out + e.last + 1, out + partWidth, Sample{});
        if (e.first <= e.last) sums.Convolve(taps.data(), t.weights, t.count, e.first, e.last + 1, out);
      }
    });
    return outRows;
  }
  // Each column is gathered once so that its taps are read contiguously.
  std::vector<Sample> column(static_cast<size_t>(inHeight));
  for (int32_t x = 0; x < partWidth; ++x) {
    for (int32_t y = 0; y < inHeight; ++y) {
      column[size_t(y)] = temp[size_t(y) * size_t(partWidth) + size_t(x)];
    }
    for (int32_t v = part.top; v < part.bottom; ++v) {
      const ResampleTaps t = down.Taps(v);
      outRows[v - part.top][x] = Data::Convolve(column.data() + t.first, t.weights, t.count);
    }
  }
  return outRows;
}

}  // namespace tessaro
