// Exact shortcuts for the fast filler: the values the reference filler's
// column loop reaches by repeated addition, without doing every addition, and
// its near-limit test without a division.
#pragma once

#include <cstdint>

namespace tessaro {

// x after n sequential additions of d in double precision (the value of
// `for (i = 0; i < n; ++i) x += d;`), bit for bit.  While the sums stay in
// one binade every addition adds the same multiple of the binade's unit, so
// whole runs are added at once; elsewhere it adds one by one.
double StepExactly(double x, double d, int64_t n);

// Where the reference filler ends a row, as bounds on w (= 1 / z): at or
// behind the eye, nearer than the 5.5 limit, or so far that the depth does not
// fit in 32 bits.  EndsRow(w) equals !(w > 0) || trunc(1 / w + 0.5) <= 5.
struct NearLimit {
  double nearFrom;  // rows end for w >= nearFrom
  double farTo;     // and for 0 < w <= farTo
  bool EndsRow(double w) const { return !(w > 0) || w >= nearFrom || w <= farTo; }
};
const NearLimit& GetNearLimit();

// Steps w over n pixels as StepExactly does; false when the row ends at one of
// them (w is then undefined).
bool AdvanceOverPixels(double& w, double dw, int64_t n, const NearLimit& limit);

}  // namespace tessaro
