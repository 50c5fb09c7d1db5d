#include "image/resample_data.h"

#include <algorithm>

#include "image/numeric.h"
#include "image/pixel.h"

namespace tessaro {

namespace {

uint32_t RoundToByte(double sum) {
  const int32_t v = TruncateToInt32(sum + 0.5);
  if (v >= 255) return 255;
  if (v <= 0) return 0;
  return uint32_t(v);
}

}  // namespace

uint32_t CDataPaintLib32::Convolve(const uint32_t* taps, const double* weights, int32_t count) {
  double transparent = 0.0;
  for (int32_t i = 0; i < count; ++i) {
    if (weights[i] != 0.0 && PixelAlpha(taps[i]) == 0) transparent += weights[i];
  }
  // Weight sums of 1 and more only arise from unnormalised tables; there the
  // colour is scaled by the transparent weight itself.
  const double colourScale = transparent < 1.0 ? 1.0 / (1.0 - transparent) : transparent;

  double a = 0.0, r = 0.0, g = 0.0, b = 0.0;
  for (int32_t i = 0; i < count; ++i) {
    const double w = weights[i];
    const uint32_t p = taps[i];
    if (w == 0.0 || PixelAlpha(p) == 0) continue;
    const double wc = w * colourScale;
    r += double(PixelRed(p)) * wc;
    g += double(PixelGreen(p)) * wc;
    b += double(PixelBlue(p)) * wc;
    a += double(PixelAlpha(p)) * w;
  }
  return MakePixel(RoundToByte(a), RoundToByte(r), RoundToByte(g), RoundToByte(b));
}

CDataPaintLib32::RowSums::RowSums(int32_t width)
    : transparent_(size_t(width)), a_(size_t(width)), r_(size_t(width)), g_(size_t(width)), b_(size_t(width)) {}

void CDataPaintLib32::RowSums::Convolve(const uint32_t* const* rows, const double* weights, int32_t count,
                                        int32_t begin, int32_t end, uint32_t* out) {
  const size_t from = size_t(begin), width = size_t(end);
  std::fill(transparent_.begin() + begin, transparent_.begin() + end, 0.0);
  for (int32_t i = 0; i < count; ++i) {
    if (weights[i] == 0.0) continue;
    const uint32_t* row = rows[i];
    for (size_t x = from; x < width; ++x)
      if (PixelAlpha(row[x]) == 0) transparent_[x] += weights[i];
  }
  for (size_t x = from; x < width; ++x) {
    const double t = transparent_[x];
    transparent_[x] = t < 1.0 ? 1.0 / (1.0 - t) : t;  // the colour scale
  }
  for (std::vector<double>* sums : {&a_, &r_, &g_, &b_}) std::fill(sums->begin() + begin, sums->begin() + end, 0.0);
  for (int32_t i = 0; i < count; ++i) {
    const double w = weights[i];
    if (w == 0.0) continue;
    const uint32_t* row = rows[i];
    for (size_t x = from; x < width; ++x) {
      const uint32_t p = row[x];
      if (PixelAlpha(p) == 0) continue;
      const double wc = w * transparent_[x];
      r_[x] += double(PixelRed(p)) * wc;
      g_[x] += double(PixelGreen(p)) * wc;
      b_[x] += double(PixelBlue(p)) * wc;
      a_[x] += double(PixelAlpha(p)) * w;
    }
  }
  for (size_t x = from; x < width; ++x)
    out[x] = MakePixel(RoundToByte(a_[x]), RoundToByte(r_[x]), RoundToByte(g_[x]), RoundToByte(b_[x]));
}

CDataPaintLib16::RowSums::RowSums(int32_t width) : sum_(size_t(width)) {}

void CDataPaintLib16::RowSums::Convolve(const uint16_t* const* rows, const double* weights, int32_t count,
                                        int32_t begin, int32_t end, uint16_t* out) {
  const size_t from = size_t(begin), width = size_t(end);
  std::fill(sum_.begin() + begin, sum_.begin() + end, 0.0);
  for (int32_t i = 0; i < count; ++i) {
    const double w = weights[i];
    if (w == 0.0) continue;
    const uint16_t* row = rows[i];
    for (size_t x = from; x < width; ++x) sum_[x] += w * double(row[x]);
  }
  for (size_t x = from; x < width; ++x) out[x] = uint16_t(uint32_t(TruncateToInt32(sum_[x] + 0.5)));
}

uint16_t CDataPaintLib16::Convolve(const uint16_t* taps, const double* weights, int32_t count) {
  double sum = 0.0;
  for (int32_t i = 0; i < count; ++i) {
    if (weights[i] != 0.0) sum += weights[i] * double(taps[i]);
  }
  return uint16_t(uint32_t(TruncateToInt32(sum + 0.5)));
}

}  // namespace tessaro
