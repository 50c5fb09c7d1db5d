// Weight tables of the two-pass resampler: for each output sample of one axis,
// which consecutive input samples it draws on and how much each counts.  A
// table is built once per axis and reused for every row or column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/resample_filters.h"

namespace tessaro {

// Largest block one resampling step allocates (a weight table or the
// intermediate image).  Anything bigger is refused as out of memory before it
// is attempted, so absurd sizes cannot exhaust the host's address space.
constexpr int64_t kMaxResampleBytes = INT32_MAX;

// count elements of elementSize bytes as a size_t; throws std::bad_alloc when
// the block would be negative or exceed kMaxResampleBytes.
size_t CheckedResampleCount(int64_t count, size_t elementSize);

// The taps of one output sample: count input samples from index first on.
struct ResampleTaps {
  int32_t first;
  int32_t count;
  const double* weights;
};

struct ResampleWeights {
  struct Span {
    int32_t first;
    int32_t count;
    size_t offset;  // of the first weight in values
  };
  int32_t begin = 0;           // output index of spans[0]
  std::vector<Span> spans;     // one per output index from begin on
  std::vector<double> values;  // the weights of all spans, in span order

  ResampleTaps Taps(int32_t u) const {
    const Span& s = spans[size_t(u - begin)];
    return {s.first, s.count, values.data() + s.offset};
  }
};

// The table of output indices begin..end-1 for resampling inSize samples into
// outSize with scale = outSize / inSize, using kernel at its own width.  Output
// sample u sits at input position u / scale; shrinking widens the support and
// compresses the kernel by the scale.  Each span's weights are divided by their
// sum when it is positive.  An empty table results from sizes <= 0 or an
// empty or out-of-range index interval; a table beyond kMaxResampleBytes throws
// std::bad_alloc.
ResampleWeights BuildWeights(const CGenericFilter& kernel, int32_t outSize, int32_t inSize,
                             double scale, int32_t begin, int32_t end);

inline ResampleWeights BuildWeights(const CGenericFilter& kernel, int32_t outSize, int32_t inSize,
                                    double scale) {
  return BuildWeights(kernel, outSize, inSize, scale, 0, outSize);
}

}  // namespace tessaro
