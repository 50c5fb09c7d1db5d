#include "render/exact_steps.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "image/numeric.h"

namespace tessaro {

namespace {

constexpr uint64_t kMantissaBits = (uint64_t(1) << 52) - 1;

// Up to `steps` additions of d to x that all stay in x's binade: |x| is m0
// units of its last place (2^52 < m0 < 2^53), and every sum is the previous
// one plus `units` of them, since d is `units` plus a fraction other than one
// half (no tie to round to even).
struct Jump {
  int64_t m0 = 0, units = 0, steps = 0;
  uint64_t signAndExponent = 0;

  double After(int64_t k) const {
    return FromBits(signAndExponent | (uint64_t(m0 + k * units) & kMantissaBits));
  }
};

bool PlanJump(double x, double d, int64_t n, Jump& j) {
  const uint64_t bits = BitsOf(x);
  const int exponent = int((bits >> 52) & 0x7FF);
  // Finite x of a magnitude whose unit and d's scaled value stay normal
  // doubles; anything else (zero, tiny, huge, NaN) is added one by one.
  if (exponent < 200 || exponent > 1800 || !std::isfinite(d)) return false;
  j.signAndExponent = bits & ~kMantissaBits;
  // d in units of x's last place, with x's sign taken as positive: a product
  // with a power of two, exact here.
  const double scale = FromBits(uint64_t(2098 - exponent) << 52);  // 2^(1075 - exponent)
  const double units = (bits >> 63 ? -d : d) * scale;
  if (!(std::fabs(units) < 0x1p62)) return false;
  // The fraction is exact: trunc(units) and units differ by less than half
  // of units once |units| >= 1.
  const double whole = std::trunc(units);
  const double fraction = units - whole;
  if (fraction == 0.5 || fraction == -0.5) return false;
  j.units = int64_t(whole) + (fraction > 0.5 ? 1 : fraction < -0.5 ? -1 : 0);
  j.m0 = int64_t((bits & kMantissaBits) | (uint64_t(1) << 52));
  // One unit of slack on both sides: each exact sum then lies strictly inside
  // the binade, where the nearest double is the nearest whole unit.
  constexpr int64_t kLow = (int64_t(1) << 52) + 1, kHigh = (int64_t(1) << 53) - 1;
  if (j.m0 < kLow || j.m0 > kHigh) return false;
  // The room left in the binade, in steps; divided only when n does not fit.
  const int64_t room = j.units > 0 ? kHigh - j.m0 : j.m0 - kLow;
  const int64_t size = j.units > 0 ? j.units : -j.units;
  j.steps = n;
  // No 128-bit integers on 32-bit targets: an overflowing product exceeds the room too.
  uint64_t need = 0;
  if (size != 0 && (__builtin_mul_overflow(uint64_t(n), uint64_t(size), &need) ||
                    need > uint64_t(room)))
    j.steps = room / size;
  return j.steps > 0;
}

bool EndsRowByDivision(double w) { return !(w > 0) || TruncateToInt32(1 / w + 0.5) <= 5; }

// The reference test is monotone on either side of w = 0.01 (depth 100): it
// holds from some w up (near) and from some w down (depths past 2^31), so
// two bisections over the ordered bit patterns of positive doubles find the
// bounds.
NearLimit FindNearLimit() {
  const uint64_t pivot = BitsOf(0.01);
  uint64_t lo = pivot, hi = BitsOf(std::numeric_limits<double>::infinity());
  while (hi - lo > 1) {  // EndsRow(lo) false, EndsRow(hi) true
    const uint64_t mid = lo + (hi - lo) / 2;
    (EndsRowByDivision(FromBits(mid)) ? hi : lo) = mid;
  }
  NearLimit limit;
  limit.nearFrom = FromBits(hi);
  lo = 0;  // +0.0 ends the row; the pivot does not
  hi = pivot;
  while (hi - lo > 1) {
    const uint64_t mid = lo + (hi - lo) / 2;
    (EndsRowByDivision(FromBits(mid)) ? lo : hi) = mid;
  }
  limit.farTo = FromBits(lo);
  return limit;
}

}  // namespace

double StepExactly(double x, double d, int64_t n) {
  // Short runs are cheaper to add up.
  if (n < 8) {
    for (; n > 0; --n) x += d;
    return x;
  }
  while (n > 0) {
    Jump j;
    if (PlanJump(x, d, n, j)) {
      x = j.After(j.steps);
      n -= j.steps;
      if (n == 0) break;
    }
    // Into the next binade (or a sum no jump can take) by one addition.
    x += d;
    --n;
  }
  return x;
}

const NearLimit& GetNearLimit() {
  static const NearLimit limit = FindNearLimit();
  return limit;
}

bool AdvanceOverPixels(double& w, double dw, int64_t n, const NearLimit& limit) {
  while (n > 0) {
    if (limit.EndsRow(w)) return false;
    Jump j;
    if (!PlanJump(w, dw, n, j) || j.steps < 2) {
      w += dw;
      --n;
      continue;
    }
    // The values of a jump are monotone and the rows go on only for w inside
    // one interval: its two ends decide for all of them.
    if (limit.EndsRow(j.After(j.steps - 1))) return false;
    w = j.After(j.steps);
    n -= j.steps;
  }
  return true;
}

}  // namespace tessaro
