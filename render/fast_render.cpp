// The fast render: the same image as the reference filler, bit for bit.
//
// An opaque texel replaces whatever lies under it, so a pixel that a later quad
// covers with an opaque texel need not be painted by the quads before it.  A
// first pass goes through the quads front to back and notes for every pixel the
// last quad (in drawing order) that paints an opaque texel there; the second
// pass paints back to front and skips what a later quad covers.  Over skipped
// pixels the stepped values are advanced exactly (exact_steps.h), so the pixels
// that are painted see the reference filler's values.
//
// Rows are independent: each thread takes bands of rows and sees every quad in
// the drawing order.  Progress is reported after each quad, on the calling
// thread, once every thread has finished that quad; the other threads may be
// painting later quads meanwhile (the callback must not change the scene).
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "image/pixel.h"
#include "render/exact_steps.h"
#include "render/matrix.h"
#include "render/quad_filler.h"
#include "render/quad_walk.h"
#include "image/dib.h"
#include "image/worker_pool.h"
#include "scene/scene3d.h"

namespace tessaro {

namespace {

using quad_walk::Corner;
using quad_walk::Edge;

// Quads are numbered 1..n in drawing order in the coverage map, 0 meaning
// no opaque texel; more quads than this are drawn without the map.
constexpr int32_t kMaxCoveredQuads = 254;

struct FastQuad {
  Corner corners[4];
  const CTexture3D* texture;
  const uint32_t* texels;
  int32_t textureWidth;
  double lastColumn, lastRow;
};

struct FillTarget {
  uint32_t* colour;
  int32_t width, height, stride;
  uint8_t* coverage;  // width x height, or null
  // Per row, per block of kBlock columns of the coverage map: the smallest
  // entry, and (while the first pass marks) how many entries are still 0.
  uint8_t* blockMin;
  uint8_t* zeros;
  int32_t blocks;  // per row
  // The part painted: columns and rows from the first to before the second.
  int32_t left, right, top, bottom;
};

constexpr int kBlockShift = 6;
constexpr int64_t kBlock = int64_t(1) << kBlockShift;

// One row of the coverage map with its block summaries.  While the first
// pass runs, a block's minimum reads 255 once no entry is 0: every entry is
// then above the quads still to come, which is all the scans ask.
struct CoverRow {
  uint8_t* cover;
  uint8_t* blockMin;
  uint8_t* zeros;

  void Mark(int64_t column, uint8_t position) {
    cover[column] = position;
    if (--zeros[column >> kBlockShift] == 0) blockMin[column >> kBlockShift] = 255;
  }
  // Columns from..from+n-1, none marked yet.
  void MarkRun(int64_t from, int64_t n, uint8_t position) {
    std::memset(cover + from, position, size_t(n));
    for (int64_t c = from, end = from + n; c < end;) {
      const int64_t block = c >> kBlockShift;
      const int64_t next = std::min(end, (block + 1) << kBlockShift);
      zeros[block] = uint8_t(zeros[block] - (next - c));
      if (zeros[block] == 0) blockMin[block] = 255;
      c = next;
    }
  }
};

// The four texels and the weights SampleBilinear uses at (tu, tv), with the
// span's and the sampler's pinning in one.
struct Taps {
  uint32_t t00, t10, t01, t11;
  double kx, ky;
};

Taps FetchTaps(const FastQuad& q, double tu, double tv) {
  if (!(tu >= 0)) tu = 0;
  if (tu > q.lastColumn) tu = q.lastColumn;
  if (!(tv >= 0)) tv = 0;
  if (tv > q.lastRow) tv = q.lastRow;
  double tu1 = tu + 1;
  if (tu1 > q.lastColumn) tu1 = q.lastColumn;
  double tv1 = tv + 1;
  if (tv1 > q.lastRow) tv1 = q.lastRow;
  const int32_t x0 = TruncateToInt32(tu), x1 = TruncateToInt32(tu1);
  const int32_t y0 = TruncateToInt32(tv), y1 = TruncateToInt32(tv1);
  const uint32_t* r0 = q.texels + size_t(y0) * size_t(q.textureWidth);
  const uint32_t* r1 = q.texels + size_t(y1) * size_t(q.textureWidth);
  return {r0[x0], r0[x1], r1[x0], r1[x1], 1 - (tu - x0), 1 - (tv - y0)};
}

// LerpPixel of two opaque pixels: alpha 255 and the colour weight unmoved.
uint32_t LerpOpaque(uint32_t a, uint32_t b, double k) {
  const double j = 1 - k;
  auto mix = [&](int shift) {
    const double cb = double((b >> shift) & 0xFFu), ca = double((a >> shift) & 0xFFu);
    return uint32_t(int32_t(cb * j + ca * k + 0.5)) << shift;
  };
  return 0xFF000000u | mix(16) | mix(8) | mix(0);
}

// LerpPixel of equal pixels is that pixel, whatever the weight.
uint32_t LerpAny(uint32_t a, uint32_t b, double k) { return a == b ? a : LerpPixel(a, b, k); }

uint32_t Sample(const Taps& t) {
  if (t.t00 == t.t10 && t.t01 == t.t11 && t.t00 == t.t01) return t.t00;
  if ((t.t00 & t.t10 & t.t01 & t.t11) >= 0xFF000000u) {
    return LerpOpaque(LerpOpaque(t.t00, t.t10, t.kx), LerpOpaque(t.t01, t.t11, t.kx), t.ky);
  }
  return LerpAny(LerpAny(t.t00, t.t10, t.kx), LerpAny(t.t01, t.t11, t.kx), t.ky);
}

bool SampleIsOpaque(const Taps& t) {
  if ((t.t00 & t.t10 & t.t01 & t.t11) >= 0xFF000000u) return true;
  if ((t.t00 | t.t10 | t.t01 | t.t11) < 0xFF000000u) return false;  // no alpha reaches 255
  const uint32_t upper = LerpAlpha(PixelAlpha(t.t00), PixelAlpha(t.t10), t.kx);
  const uint32_t lower = LerpAlpha(PixelAlpha(t.t01), PixelAlpha(t.t11), t.kx);
  return LerpAlpha(upper, lower, t.ky) == 255;
}

// The first column from `from` on, before `end`, where quad `position` is
// hidden (kHidden: coverage > position) or not hidden.  Looking for a column
// not hidden, whole blocks whose smallest entry hides the quad are passed at
// once.
template <bool kHidden>
int64_t FirstColumn(const CoverRow& row, int64_t from, int64_t end, uint8_t position) {
  const uint8_t* const coverage = row.cover;
  int64_t i = from;
  while (i < end) {
    if (!kHidden && (i & (kBlock - 1)) == 0 && row.blockMin[i >> kBlockShift] > position) {
      i += kBlock;
      continue;
    }
    const int64_t stop = std::min(end, (i | (kBlock - 1)) + 1);  // the end of i's block
#if defined(__SSE2__)
    const __m128i above = _mm_set1_epi8(char(position + 1));
    for (; i + 16 <= stop; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coverage + i));
      int found = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(v, above), v));
      if (!kHidden) found = ~found & 0xFFFF;
      if (found != 0) return i + __builtin_ctz(unsigned(found));
    }
#endif
    for (; i < stop; ++i)
      if ((coverage[i] > position) == kHidden) return i;
  }
  return end;
}

enum class Pass { FindCover, Paint };

// Pixels first tried at once after a transparent (or opaque) sample; every
// run that succeeds doubles the next.
constexpr int64_t kFirstRun = 16;

int32_t PinnedTexel(double t, double last) {
  if (!(t >= 0)) t = 0;
  if (t > last) t = last;
  return TruncateToInt32(t);
}

enum class Area { Transparent, Opaque };

// Whether every pixel of a run, from the values (w0, u0, v0) at its first
// pixel to (w1, u1, v1) at its last, samples only texels of that kind and
// none of them ends the row.  The values may be approximations of the stepped
// ones (off by far less than a millionth): along a row the texel position
// moves on a line and monotonically (w keeps its sign), so the taps of the run
// lie between those of its ends, and one texel of margin on each side, and a
// margin on the near limit, absorb the difference.
bool RunSamplesOnly(Area kind, const FastQuad& q, const NearLimit& limit, double w0, double u0,
                    double v0, double w1, double u1, double v1) {
  constexpr double kSafety = 1e-9;
  auto safe = [&](double w) {
    return w > limit.farTo * (1 + kSafety) && w < limit.nearFrom * (1 - kSafety);
  };
  if (!safe(w0) || !safe(w1)) return false;
  const double tu0 = u0 / w0, tv0 = v0 / w0, tu1 = u1 / w1, tv1 = v1 / w1;
  if (!std::isfinite(tu0) || !std::isfinite(tv0) || !std::isfinite(tu1) || !std::isfinite(tv1)) return false;
  const int32_t lastColumn = q.texture->Width() - 1, lastRow = q.texture->Height() - 1;
  const int32_t xa = PinnedTexel(tu0, q.lastColumn), xb = PinnedTexel(tu1, q.lastColumn);
  const int32_t ya = PinnedTexel(tv0, q.lastRow), yb = PinnedTexel(tv1, q.lastRow);
  const int32_t x0 = std::max(std::min(xa, xb) - 1, 0), y0 = std::max(std::min(ya, yb) - 1, 0);
  const int32_t x1 = std::min(std::max(xa, xb) + 2, lastColumn), y1 = std::min(std::max(ya, yb) + 2, lastRow);
  return kind == Area::Transparent ? q.texture->TransparentArea(x0, y0, x1, y1)
                                   : q.texture->OpaqueArea(x0, y0, x1, y1);
}

// After pixel c sampled only texels of one kind, passes over the following
// pixels that do too, in growing runs, and leaves (c, w, u, v) at the last one
// passed.  Transparent samples change nothing; opaque ones are noted in the
// coverage row.  False when the first try already failed.
bool PassUniformRun(Area kind, const FastQuad& q, const NearLimit& limit, const quad_walk::Span& s,
                    CoverRow* cover, uint8_t position, int64_t& c, double& w, double& u, double& v) {
  // Hidden pixels are left to the caller, which passes them faster.
  const int64_t last = cover ? FirstColumn<true>(*cover, c + 1, s.last + 1, position) - 1 : s.last;
  // Runs are tried with values extrapolated from pixel c; only the end of
  // all of them is stepped exactly.  They double while they succeed and halve
  // when they fail, so the edge of the area is found in a few tries.
  const int64_t start = c;
  int64_t end = c;
  auto at = [&](double x, double d, int64_t column) { return x + double(column - start) * d; };
  for (int64_t n = kFirstRun;;) {
    n = std::min(n, last - end);
    if (n < 2) break;
    if (!RunSamplesOnly(kind, q, limit, at(w, s.dw, end + 1), at(u, s.du, end + 1), at(v, s.dv, end + 1),
                        at(w, s.dw, end + n), at(u, s.du, end + n), at(v, s.dv, end + n))) {
      if (n <= 4) break;
      n /= 2;
      continue;
    }
    // In the cover pass the pixels not hidden are those no quad has marked yet.
    if (kind == Area::Opaque) cover->MarkRun(end + 1, n, position);
    end += n;
    n *= 2;
  }
  if (end == start) return false;
  w = StepExactly(w, s.dw, end - start);
  u = StepExactly(u, s.du, end - start);
  v = StepExactly(v, s.dv, end - start);
  c = end;
  return true;
}

// One row of one quad, as DrawPerspectiveSpan draws it; pixels hidden behind
// a later quad's opaque texel are stepped over.
template <Pass kPass, bool kCovered>
void FillSpan(const FastQuad& q, const FillTarget& t, const NearLimit& limit, const Edge& left,
              const Edge& right, int32_t y, uint8_t position) {
  quad_walk::Span s;
  if (!quad_walk::SetUpSpan(left.x, right.x, left.w, right.w, left.u, left.v, right.u, right.v,
                            t.width, s)) {
    return;
  }
  if (s.first < t.left) {
    // The pixels left of the part are stepped over as the reference steps
    // them, ending the row where it would end it.
    if (s.last < t.left) return;
    const int64_t n = t.left - s.first;
    if (!AdvanceOverPixels(s.w, s.dw, n, limit)) return;
    s.u = StepExactly(s.u, s.du, n);
    s.v = StepExactly(s.v, s.dv, n);
    s.first = t.left;
  }
  s.last = std::min<int64_t>(s.last, int64_t(t.right) - 1);
  if (s.first > s.last) return;
  uint32_t* const row = t.colour + size_t(y) * size_t(t.stride);
  CoverRow coverRow{};
  if (kCovered) {
    coverRow = {t.coverage + size_t(y) * size_t(t.width), t.blockMin + size_t(y) * size_t(t.blocks),
                t.zeros + size_t(y) * size_t(t.blocks)};
  }
  CoverRow* const coverOrNull = kCovered ? &coverRow : nullptr;
  uint8_t* const cover = coverRow.cover;
  double w = s.w, u = s.u, v = s.v;
  // A run is tried after two uniform samples in a row, and not again for a
  // while after a try that failed at once: near an outline tries rarely pay.
  int64_t uniform = 0, nextTry = 0;
  auto tryRun = [&](Area kind, int64_t& c) {
    if (++uniform < 2 || c < nextTry) return;
    if (!PassUniformRun(kind, q, limit, s, coverOrNull, position, c, w, u, v)) nextTry = c + kFirstRun;
  };
  for (int64_t c = s.first; c <= s.last;) {
    if (kCovered && cover[c] > position) {
      const int64_t end = FirstColumn<false>(coverRow, c, s.last + 1, position);
      if (end > s.last) return;
      const int64_t n = end - c;
      if (!AdvanceOverPixels(w, s.dw, n, limit)) return;
      u = StepExactly(u, s.du, n);
      v = StepExactly(v, s.dv, n);
      c = end;
      continue;
    }
    if (limit.EndsRow(w)) return;
    const Taps taps = FetchTaps(q, u / w, v / w);
    if ((taps.t00 | taps.t10 | taps.t01 | taps.t11) < 0x01000000u) {
      // Four transparent taps give a transparent sample, which changes nothing;
      // and where there is one, a run of them is likely to follow.
      tryRun(Area::Transparent, c);
    } else if (kPass == Pass::Paint) {
      uniform = 0;
      const uint32_t texel = Sample(taps);
      row[c] = texel >= 0xFF000000u ? texel : BlendPixelOver(row[c], texel);
    } else if ((taps.t00 & taps.t10 & taps.t01 & taps.t11) >= 0xFF000000u) {
      coverRow.Mark(c, position);
      tryRun(Area::Opaque, c);
    } else {
      uniform = 0;
      if (SampleIsOpaque(taps)) coverRow.Mark(c, position);
    }
    w += s.dw;
    u += s.du;
    v += s.dv;
    ++c;
  }
}

template <Pass kPass, bool kCovered>
void FillRowsOf(const FastQuad& q, const FillTarget& t, uint8_t position, int thread, int threads) {
  const NearLimit& limit = GetNearLimit();
  // The walk's values on a row do not depend on where it stops.
  quad_walk::WalkQuad(q.corners, t.bottom, [&](const Edge& left, const Edge& right, int32_t y) {
    if (y >= t.top && OwnsRow(y, thread, threads)) FillSpan<kPass, kCovered>(q, t, limit, left, right, y, position);
  });
}

}  // namespace

void CScene3D::RenderFast() { RenderFastPart(0, 0, width_, height_); }

void CScene3D::RenderPart(const DibRect& part) {
  const int32_t left = std::max(part.left, 0), top = std::max(part.top, 0);
  const int32_t right = std::min(part.right, width_), bottom = std::min(part.bottom, height_);
  RenderFastPart(left, top, std::max(left, right), std::max(top, bottom));
}

void CScene3D::RenderFastPart(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const bool whole = left == 0 && top == 0 && right == width_ && bottom == height_;
  // Every index is checked before anything is drawn; a scene with a bad one is
  // left to the reference path, which fails at the quad the user would expect.
  std::vector<FastQuad> quads;
  for (int32_t o = objects_.Count() - 1; o >= 0; --o) {
    const CObject3D& object = objects_.At(o);
    // A part has no reference to fall back on: it raises the error before
    // anything is drawn.
    if (object.quads.Count() > 0 && !textures_.Contains(object.textureIndex)) {
      if (!whole) ThrowInvalidIndex(object.textureIndex, textures_.Count());
      return RenderReference();
    }
    for (int32_t q = object.quads.Count() - 1; q >= 0; --q) {
      const CRect3D& r = object.quads.At(q);
      for (int32_t i : {r.i0, r.i1, r.i2, r.i3}) {
        if (object.nodes.Contains(i)) continue;
        if (!whole) ThrowInvalidIndex(i, object.nodes.Count());
        return RenderReference();
      }
    }
  }

  if (whole) {
    ClearTarget();
  } else {
    for (int32_t y = top; y < bottom; ++y)
      std::fill(colour_ + size_t(y) * size_t(stride_) + size_t(left), colour_ + size_t(y) * size_t(stride_) + size_t(right),
                backgroundColour);
  }
  const int32_t total = SaturatedQuadCount();
  int32_t done = 0;

  for (int32_t o = objects_.Count() - 1; o >= 0; --o) {
    CObject3D& object = objects_.At(o);
    object.combinedMatrix = MatrixProduct(cameraMatrix, object.modelMatrix);
    for (int32_t n = 0; n < object.nodes.Count(); ++n)
      object.nodes.At(n) = TransformNode(o, object.nodes.At(n));
    if (object.quads.Count() == 0) continue;
    const CTexture3D& texture = textures_.At(object.textureIndex);
    const double lastColumn = texture.Width() - 1.0, lastRow = texture.Height() - 1.0;
    for (int32_t q = object.quads.Count() - 1; q >= 0; --q) {
      const CRect3D& r = object.quads.At(q);
      FastQuad f;
      const int32_t corners[4] = {r.i0, r.i1, r.i2, r.i3};
      for (int k = 0; k < 4; ++k)
        f.corners[k] = quad_walk::MakeCorner(object.nodes.At(corners[k]), lastColumn, lastRow);
      f.texture = &texture;
      f.texels = texture.Pixels();
      f.textureWidth = texture.Width();
      f.lastColumn = lastColumn;
      f.lastRow = lastRow;
      quads.push_back(f);
    }
  }
  ReportProgress(done, total);

  const int32_t count = int32_t(quads.size());
  FillTarget target{colour_, width_, height_, stride_, nullptr, nullptr, nullptr, 0, left, right, top, bottom};
  if (count > 1 && count <= kMaxCoveredQuads) {
    const int32_t blocks = int32_t((int64_t(width_) + kBlock - 1) >> kBlockShift);
    const size_t map = size_t(width_) * size_t(height_), summary = size_t(blocks) * size_t(height_);
    try {
      coverage_.assign(map + 2 * summary, 0);
      target.coverage = coverage_.data();
      target.blockMin = target.coverage + map;
      target.zeros = target.blockMin + summary;
      target.blocks = blocks;
      for (size_t row = 0; row < size_t(height_); ++row)
        for (int32_t b = 0; b < blocks; ++b)
          target.zeros[row * size_t(blocks) + size_t(b)] =
              uint8_t(std::min<int64_t>(kBlock, int64_t(width_) - (int64_t(b) << kBlockShift)));
    } catch (const std::bad_alloc&) {
      coverage_ = std::vector<uint8_t>();  // drawn without skipping instead
    }
  }
  const int threads = ThreadsFor(int64_t(right - left) * int64_t(bottom - top));

  // Each thread owns its rows in both passes, so the threads never wait for
  // one another: only the calling thread, before it reports a quad, waits
  // until every thread has painted it.
  std::vector<std::atomic<int32_t>> painted(static_cast<size_t>(threads));
  for (std::atomic<int32_t>& p : painted) p.store(0, std::memory_order_relaxed);
  RunOnWorkers(threads, [&](int thread) {
    if (target.coverage) {
      for (int32_t i = count - 1; i >= 1; --i)
        FillRowsOf<Pass::FindCover, true>(quads[size_t(i)], target, uint8_t(i + 1), thread, threads);
      // The painting pass needs the true smallest entry of every block.
      for (int32_t y = top; y < bottom; ++y) {
        if (!OwnsRow(y, thread, threads)) continue;
        const uint8_t* row = target.coverage + size_t(y) * size_t(width_);
        uint8_t* mins = target.blockMin + size_t(y) * size_t(target.blocks);
        for (int32_t b = 0; b < target.blocks; ++b) {
          const int64_t from = int64_t(b) << kBlockShift, to = std::min<int64_t>(from + kBlock, width_);
          mins[b] = *std::min_element(row + from, row + to);
        }
      }
    }
    for (int32_t i = 0; i < count; ++i) {
      if (target.coverage) {
        FillRowsOf<Pass::Paint, true>(quads[size_t(i)], target, uint8_t(i + 1), thread, threads);
      } else {
        FillRowsOf<Pass::Paint, false>(quads[size_t(i)], target, 0, thread, threads);
      }
      painted[size_t(thread)].store(i + 1, std::memory_order_release);
      if (thread != 0) continue;
      for (int other = 1; other < threads; ++other)
        while (painted[size_t(other)].load(std::memory_order_acquire) <= i) std::this_thread::yield();
      ++done;
      ReportProgress(done, total);
    }
  });
}

}  // namespace tessaro
