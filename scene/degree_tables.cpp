#include "scene/degree_tables.h"

namespace tessaro {

namespace {

// Math libraries round sine and cosine differently from one platform to the
// next, and the rendered image depends on every bit of the tables.  The entries
// are therefore summed as Taylor series in double-double arithmetic (about 100
// significant bits) using only additions, multiplications and divisions, which
// IEEE arithmetic rounds the same way everywhere (fused multiply-add is off in
// every build).  The final rounding to double gives the correctly rounded value.

struct DoubleDouble {
  double hi;
  double lo;
};

DoubleDouble QuickTwoSum(double a, double b) {  // requires |a| >= |b|
  const double s = a + b;
  return {s, b - (s - a)};
}

DoubleDouble TwoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// Splits a into two halves of 26 significant bits whose products are exact.
void Split(double a, double& hi, double& lo) {
  const double t = 134217729.0 * a;  // 2^27 + 1
  hi = t - (t - a);
  lo = a - hi;
}

DoubleDouble TwoProduct(double a, double b) {
  const double p = a * b;
  double ah, al, bh, bl;
  Split(a, ah, al);
  Split(b, bh, bl);
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

DoubleDouble Add(DoubleDouble a, DoubleDouble b) {
  DoubleDouble s = TwoSum(a.hi, b.hi);
  const DoubleDouble t = TwoSum(a.lo, b.lo);
  s.lo += t.hi;
  s = QuickTwoSum(s.hi, s.lo);
  s.lo += t.lo;
  return QuickTwoSum(s.hi, s.lo);
}

DoubleDouble Multiply(DoubleDouble a, DoubleDouble b) {
  DoubleDouble p = TwoProduct(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return QuickTwoSum(p.hi, p.lo);
}

DoubleDouble Divide(DoubleDouble a, double b) {
  const double q1 = a.hi / b;
  const DoubleDouble p = TwoProduct(q1, b);
  DoubleDouble r = TwoSum(a.hi, -p.hi);
  r.lo -= p.lo;
  r.lo += a.lo;
  const double q2 = (r.hi + r.lo) / b;
  return QuickTwoSum(q1, q2);
}

// Terms of x^n / n! for the arguments here (below 6.3) fall under 1e-45 well
// before n = 90, far below the precision of the sum.
constexpr int kLastPower = 90;

// sin (first = 1) or cos (first = 0) of x as the sum of (-1)^k x^n / n! over
// n = first, first + 2, ...
double TaylorSeries(double x, int first) {
  const DoubleDouble square = TwoProduct(x, x);
  DoubleDouble term = first == 1 ? DoubleDouble{x, 0} : DoubleDouble{1, 0};
  DoubleDouble sum = term;
  for (int n = first + 2; n <= kLastPower; n += 2) {
    term = Divide(Multiply(term, square), -double(n - 1) * double(n));
    sum = Add(sum, term);
  }
  return sum.hi + sum.lo;
}

DegreeTables ComputeTables() {
  DegreeTables tables{};
  for (int i = 0; i < 360; ++i) {
    const double angle = i * kDegreeTableStep;
    tables.sine[i] = TaylorSeries(angle, 1);
    tables.cosine[i] = TaylorSeries(angle, 0);
  }
  return tables;
}

}  // namespace

const DegreeTables& GetDegreeTables() {
  static const DegreeTables tables = ComputeTables();
  return tables;
}

}  // namespace tessaro
