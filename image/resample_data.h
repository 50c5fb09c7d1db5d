// Pixel adapters of the two-pass resampler: how one output sample is formed
// from count consecutive input samples and their weights.  Taps of weight 0
// add nothing and are skipped.
#pragma once

#include <cstdint>

namespace tessaro {

// 32-bit pixels 0xAARRGGBB with straight (not premultiplied) alpha.
struct CDataPaintLib32 {
  using Sample = uint32_t;
  // Fully transparent taps lend no colour: their weight is left out of the
  // colour sums and made up by scaling the others, so a transparent black
  // neighbour does not darken an edge.  The alpha itself is filtered plainly.
  // Each channel is rounded half up and limited to 0..255.
  static Sample Convolve(const Sample* taps, const double* weights, int32_t count);
};

// One unsigned 16-bit value per sample, e.g. a height field.
struct CDataPaintLib16 {
  using Sample = uint16_t;
  // The weighted sum rounded half up and kept to its low 16 bits (not
  // limited); normalised weights keep it within the range of the taps.
  static Sample Convolve(const Sample* taps, const double* weights, int32_t count);
};

}  // namespace tessaro
