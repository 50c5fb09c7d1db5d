// Pixel adapters of the two-pass resampler: how one output sample is formed
// from count consecutive input samples and their weights.  Taps of weight 0
// add nothing and are skipped.
#pragma once

#include <cstdint>
#include <vector>

#include "image/resample_weights.h"

namespace tessaro {

// 32-bit pixels 0xAARRGGBB with straight (not premultiplied) alpha.
struct CDataPaintLib32 {
  using Sample = uint32_t;
  // Fully transparent taps lend no colour: their weight is left out of the
  // colour sums and made up by scaling the others, so a transparent black
  // neighbour does not darken an edge.  The alpha itself is filtered plainly.
  // Each channel is rounded half up and limited to 0..255.
  static Sample Convolve(const Sample* taps, const double* weights, int32_t count);

  // Convolve for a row of samples at once: out[x] is Convolve of rows[0][x]
  // .. rows[count - 1][x], bit for bit, for x in begin..end-1.
  class RowSums {
   public:
    explicit RowSums(int32_t width);
    void Convolve(const Sample* const* rows, const double* weights, int32_t count, int32_t begin,
                  int32_t end, Sample* out);

   private:
    std::vector<double> transparent_, a_, r_, g_, b_;
  };
};

// One unsigned 16-bit value per sample, e.g. a height field.
struct CDataPaintLib16 {
  using Sample = uint16_t;
  // The weighted sum rounded half up and kept to its low 16 bits (not
  // limited); normalised weights keep it within the range of the taps.
  static Sample Convolve(const Sample* taps, const double* weights, int32_t count);

  // Convolve for a row of samples at once, as CDataPaintLib32::RowSums.
  // Columns whose taps all hold one value take that value's sum, found once
  // per row; the others are summed several columns at a time (SSE2 where the
  // target has it), each lane adding its taps in Convolve's order.
  class RowSums {
   public:
    explicit RowSums(int32_t width);
    void Convolve(const Sample* const* rows, const double* weights, int32_t count, int32_t begin,
                  int32_t end, Sample* out);

   private:
    std::vector<double> sum_;
  };

  // The horizontal pass over whole rows: out[u - begin] is Convolve of the
  // taps of output u in the table, for u in begin..end-1, bit for bit.  An
  // output whose taps all hold one value and whose weights are those of an
  // earlier output with that value takes the earlier sum; neighbouring outputs
  // with equal weights are summed together, lane by lane in Convolve's order.
  class AcrossRows {
   public:
    AcrossRows(const ResampleWeights& table, int32_t begin, int32_t end, int32_t inWidth);
    void Convolve(const Sample* in, Sample* out);

   private:
    const ResampleWeights& table_;
    int32_t begin_, end_;
    std::vector<int32_t> kind_;      // outputs of one kind have equal weights
    std::vector<double> samples_;    // the input row as doubles
    std::vector<int32_t> run_;       // samples from i on equal to sample i
    int32_t cachedKind_ = -1;
    Sample cachedValue_ = 0, cachedSum_ = 0;
  };
};

}  // namespace tessaro
