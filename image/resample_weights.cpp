#include "image/resample_weights.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "image/numeric.h"

namespace tessaro {

size_t CheckedResampleCount(int64_t count, size_t elementSize) {
  if (count < 0 || elementSize == 0 || count > kMaxResampleBytes / int64_t(elementSize)) {
    throw std::bad_alloc();
  }
  return size_t(count);
}

ResampleWeights BuildWeights(const CGenericFilter& kernel, int32_t outSize, int32_t inSize,
                             double scale, int32_t begin, int32_t end) {
  ResampleWeights table;
  if (outSize <= 0 || inSize <= 0 || begin < 0 || end > outSize || begin >= end) return table;
  table.begin = begin;

  // Shrinking: every input sample under an output sample must count, so the
  // support grows by 1 / scale and the kernel is compressed to match.
  const bool shrinking = scale < 1.0;
  const double support = shrinking ? kernel.Width() / scale : kernel.Width();
  const double k = shrinking ? scale : 1.0;
  const int64_t window = 2 * int64_t(TruncateToInt32(std::ceil(support))) + 1;

  // First the spans, so that the whole table is sized (and refused if absurd)
  // before any weight is computed.  Every span lies within 0..inSize-1 whatever
  // the scale or width, so a span never exceeds the input.
  table.spans.resize(CheckedResampleCount(int64_t(end) - begin, sizeof(ResampleWeights::Span)));
  int64_t total = 0;
  for (int32_t u = begin; u < end; ++u) {
    const double centre = double(u) / scale;
    int64_t first = std::max<int64_t>(0, TruncateToInt32(std::floor(centre - support)));
    const int64_t last =
        std::min<int64_t>(TruncateToInt32(std::ceil(centre + support)), int64_t(inSize) - 1);
    // A centre between samples reaches one sample more than the window holds;
    // that sample lies beyond the support on the near side.
    if (last - first + 1 > window) ++first;
    const int64_t count = std::max<int64_t>(0, last - first + 1);
    table.spans[size_t(u - begin)] = {count > 0 ? int32_t(first) : 0, int32_t(count),
                                      size_t(total)};
    total += count;
  }
  table.values.resize(CheckedResampleCount(total, sizeof(double)));

  for (int32_t u = begin; u < end; ++u) {
    const ResampleWeights::Span& span = table.spans[size_t(u - begin)];
    const double centre = double(u) / scale;
    double* const weights = table.values.data() + span.offset;
    double sum = 0.0;
    for (int32_t j = 0; j < span.count; ++j) {
      weights[j] = k * kernel.Filter(k * (centre - double(span.first + j)));
      sum += weights[j];
    }
    // A span with no weight at all stays zero: its output sample is 0.
    if (sum > 0.0) {
      for (int32_t j = 0; j < span.count; ++j) weights[j] /= sum;
    }
  }
  return table;
}

}  // namespace tessaro
