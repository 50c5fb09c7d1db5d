#include "image/resample_data.h"

#include <algorithm>
#include <cstring>

#include "image/numeric.h"
#if defined(TESSARO_SSE2_DOUBLES)
#include <emmintrin.h>
#endif
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

namespace {

// The sum of count taps of one value, as Convolve forms it.
uint16_t SumOfOneValue(uint16_t value, const double* weights, int32_t count) {
  double sum = 0.0;
  for (int32_t i = 0; i < count; ++i) sum += weights[i] * double(value);
  return uint16_t(uint32_t(TruncateToInt32(sum + 0.5)));
}

}  // namespace

// Adding a tap of weight 0 adds a zero to a sum that is not -0 (it starts at
// +0), which leaves its bits as they are: the sums below add every tap, where
// Convolve skips those of weight 0, and come out the same.
void CDataPaintLib16::RowSums::Convolve(const uint16_t* const* rows, const double* weights, int32_t count,
                                        int32_t begin, int32_t end, uint16_t* out) {
  int32_t x = begin;
#if defined(TESSARO_SSE2_DOUBLES)
  bool haveCached = false;
  uint16_t cachedValue = 0, cachedSum = 0;
  const __m128i zero = _mm_setzero_si128();
  for (; count > 0 && x + 8 <= end; x += 8) {
    // Eight columns whose taps all hold one value are that value's sum.
    const __m128i top = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[0] + x));
    __m128i same = _mm_cmpeq_epi16(top, _mm_set1_epi16(int16_t(rows[0][x])));
    for (int32_t i = 1; i < count; ++i)
      same = _mm_and_si128(same, _mm_cmpeq_epi16(top, _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[i] + x))));
    if (_mm_movemask_epi8(same) == 0xFFFF) {
      const uint16_t value = rows[0][x];
      if (!haveCached || cachedValue != value) {
        cachedSum = SumOfOneValue(value, weights, count);
        cachedValue = value;
        haveCached = true;
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_set1_epi16(int16_t(cachedSum)));
      continue;
    }
    __m128d s0 = _mm_setzero_pd(), s1 = s0, s2 = s0, s3 = s0;
    for (int32_t i = 0; i < count; ++i) {
      const __m128d w = _mm_set1_pd(weights[i]);
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[i] + x));
      const __m128i lo = _mm_unpacklo_epi16(v, zero), hi = _mm_unpackhi_epi16(v, zero);
      s0 = _mm_add_pd(s0, _mm_mul_pd(w, _mm_cvtepi32_pd(lo)));
      s1 = _mm_add_pd(s1, _mm_mul_pd(w, _mm_cvtepi32_pd(_mm_shuffle_epi32(lo, 0x0E))));
      s2 = _mm_add_pd(s2, _mm_mul_pd(w, _mm_cvtepi32_pd(hi)));
      s3 = _mm_add_pd(s3, _mm_mul_pd(w, _mm_cvtepi32_pd(_mm_shuffle_epi32(hi, 0x0E))));
    }
    const __m128d half = _mm_set1_pd(0.5);
    // Truncated as TruncateToInt32 does, then kept to the low 16 bits: shifted
    // into the signed 16-bit range first, so the saturating pack keeps them.
    __m128i a = _mm_unpacklo_epi64(_mm_cvttpd_epi32(_mm_add_pd(s0, half)), _mm_cvttpd_epi32(_mm_add_pd(s1, half)));
    __m128i b = _mm_unpacklo_epi64(_mm_cvttpd_epi32(_mm_add_pd(s2, half)), _mm_cvttpd_epi32(_mm_add_pd(s3, half)));
    a = _mm_srai_epi32(_mm_slli_epi32(a, 16), 16);
    b = _mm_srai_epi32(_mm_slli_epi32(b, 16), 16);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packs_epi32(a, b));
  }
#endif
  if (x >= end) return;
  const size_t from = size_t(x), width = size_t(end);
  std::fill(sum_.begin() + x, sum_.begin() + end, 0.0);
  for (int32_t i = 0; i < count; ++i) {
    const double w = weights[i];
    const uint16_t* row = rows[i];
    for (size_t c = from; c < width; ++c) sum_[c] += w * double(row[c]);
  }
  for (size_t c = from; c < width; ++c) out[c] = uint16_t(uint32_t(TruncateToInt32(sum_[c] + 0.5)));
}

CDataPaintLib16::AcrossRows::AcrossRows(const ResampleWeights& table, int32_t begin, int32_t end,
                                        int32_t inWidth)
    : table_(table), begin_(begin), end_(end), kind_(size_t(end - begin)), samples_(size_t(inWidth)),
      run_(size_t(inWidth)) {
  int32_t kind = 0;
  for (int32_t u = begin; u < end; ++u) {
    if (u > begin) {
      const ResampleTaps a = table.Taps(u - 1), b = table.Taps(u);
      if (a.count != b.count || std::memcmp(a.weights, b.weights, sizeof(double) * size_t(a.count)) != 0) ++kind;
    }
    kind_[size_t(u - begin)] = kind;
  }
}

void CDataPaintLib16::AcrossRows::Convolve(const uint16_t* in, uint16_t* out) {
  const int32_t inWidth = int32_t(samples_.size());
  for (int32_t i = inWidth - 1; i >= 0; --i) {
    samples_[size_t(i)] = double(in[i]);
    run_[size_t(i)] = i + 1 < inWidth && in[i + 1] == in[i] ? run_[size_t(i) + 1] + 1 : 1;
  }
  for (int32_t u = begin_; u < end_;) {
    const ResampleTaps t = table_.Taps(u);
    const int32_t kind = kind_[size_t(u - begin_)];
    uint16_t* const o = out + (u - begin_);
    if (t.count == 0) {
      *o = 0;
      ++u;
      continue;
    }
    if (run_[size_t(t.first)] >= t.count) {
      const uint16_t value = in[t.first];
      if (cachedKind_ != kind || cachedValue_ != value) {
        cachedSum_ = SumOfOneValue(value, t.weights, t.count);
        cachedKind_ = kind;
        cachedValue_ = value;
      }
      *o = cachedSum_;
      ++u;
      continue;
    }
#if defined(TESSARO_SSE2_DOUBLES)
    // Two outputs of one kind whose taps start one sample apart: one lane each.
    if (u + 1 < end_ && kind_[size_t(u + 1 - begin_)] == kind && table_.Taps(u + 1).first == t.first + 1) {
      const double* p = samples_.data() + t.first;
      __m128d sum = _mm_setzero_pd();
      for (int32_t i = 0; i < t.count; ++i) sum = _mm_add_pd(sum, _mm_mul_pd(_mm_set1_pd(t.weights[i]), _mm_loadu_pd(p + i)));
      const __m128i v = _mm_cvttpd_epi32(_mm_add_pd(sum, _mm_set1_pd(0.5)));
      o[0] = uint16_t(uint32_t(_mm_cvtsi128_si32(v)));
      o[1] = uint16_t(uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(v, 4))));
      u += 2;
      continue;
    }
#endif
    double sum = 0.0;
    for (int32_t i = 0; i < t.count; ++i) sum += t.weights[i] * samples_[size_t(t.first + i)];
    *o = uint16_t(uint32_t(TruncateToInt32(sum + 0.5)));
    ++u;
  }
}

uint16_t CDataPaintLib16::Convolve(const uint16_t* taps, const double* weights, int32_t count) {
  double sum = 0.0;
  for (int32_t i = 0; i < count; ++i) {
    if (weights[i] != 0.0) sum += weights[i] * double(taps[i]);
  }
  return uint16_t(uint32_t(TruncateToInt32(sum + 0.5)));
}

}  // namespace tessaro
