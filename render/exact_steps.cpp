#include "render/exact_steps.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "image/numeric.h"

namespace tessaro {

namespace {

// Up to `steps` additions of d to x that all stay in x's binade: x is
// m0 units of 2^(exponent - 53) with 2^52 < m0 < 2^53, and every sum is the
// previous one plus `units` of them, since d is `units` plus a fraction other
// than one half (no tie to round to even).
struct Jump {
  int64_t m0 = 0, units = 0, steps = 0;
  int exponent = 0;
  bool negative = false;

  double After(int64_t k) const {
    const double magnitude = std::ldexp(double(m0 + k * units), exponent - 53);
    return negative ? -magnitude : magnitude;
  }
};

bool PlanJump(double x, double d, int64_t n, Jump& j) {
  if (!std::isfinite(x) || !std::isfinite(d) || x == 0) return false;
  j.negative = x < 0;
  const double ax = j.negative ? -x : x;
  const double ad = j.negative ? -d : d;
  if (ax < std::numeric_limits<double>::min()) return false;
  std::frexp(ax, &j.exponent);  // ax in [2^(e-1), 2^e)
  const double m = std::ldexp(ax, 53 - j.exponent);
  const double units = std::ldexp(ad, 53 - j.exponent);
  if (!(std::fabs(units) < 0x1p62)) return false;
  // The fraction is exact: trunc(units) and units differ by less than half
  // of units once |units| >= 1.
  const double whole = std::trunc(units);
  const double fraction = units - whole;
  if (fraction == 0.5 || fraction == -0.5) return false;
  j.units = int64_t(whole) + (fraction > 0.5 ? 1 : fraction < -0.5 ? -1 : 0);
  j.m0 = int64_t(m);
  // One unit of slack on both sides: each exact sum then lies strictly inside
  // the binade, where the nearest double is the nearest whole unit.
  constexpr int64_t kLow = (int64_t(1) << 52) + 1, kHigh = (int64_t(1) << 53) - 1;
  if (j.m0 < kLow || j.m0 > kHigh) return false;
  j.steps = n;
  if (j.units > 0) j.steps = std::min(n, (kHigh - j.m0) / j.units);
  if (j.units < 0) j.steps = std::min(n, (j.m0 - kLow) / -j.units);
  return j.steps > 0;
}

bool EndsRowByDivision(double w) { return !(w > 0) || TruncateToInt32(1 / w + 0.5) <= 5; }

double BitsToDouble(uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}
uint64_t DoubleToBits(double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}

// The reference test is monotone on either side of w = 0.01 (depth 100): it
// holds from some w up (near) and from some w down (depths past 2^31), so
// two bisections over the ordered bit patterns of positive doubles find the
// bounds.
NearLimit FindNearLimit() {
  const uint64_t pivot = DoubleToBits(0.01);
  uint64_t lo = pivot, hi = DoubleToBits(std::numeric_limits<double>::infinity());
  while (hi - lo > 1) {  // EndsRow(lo) false, EndsRow(hi) true
    const uint64_t mid = lo + (hi - lo) / 2;
    (EndsRowByDivision(BitsToDouble(mid)) ? hi : lo) = mid;
  }
  NearLimit limit;
  limit.nearFrom = BitsToDouble(hi);
  lo = 0;  // +0.0 ends the row; the pivot does not
  hi = pivot;
  while (hi - lo > 1) {
    const uint64_t mid = lo + (hi - lo) / 2;
    (EndsRowByDivision(BitsToDouble(mid)) ? lo : hi) = mid;
  }
  limit.farTo = BitsToDouble(lo);
  return limit;
}

}  // namespace

double StepExactly(double x, double d, int64_t n) {
  while (n > 0) {
    Jump j;
    if (PlanJump(x, d, n, j)) {
      x = j.After(j.steps);
      n -= j.steps;
    } else {
      x += d;
      --n;
    }
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
