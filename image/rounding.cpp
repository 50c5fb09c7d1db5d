#include "image/rounding.h"

#include <limits>

namespace tessaro {

int32_t RoundHalfAwayFromZero(double value) {
  constexpr int32_t kOutOfRange = std::numeric_limits<int32_t>::min();
  // Outside the 32-bit range (and NaN) the result is what x86-64's truncating
  // conversion gives, so every compiler agrees.
  if (!(value > -2147483649.0 && value < 2147483648.0)) return kOutOfRange;
  // Not std::round: one Windows runtime computes floor(x + 0.5) there, which
  // turns 0.49999999999999994 into 1.  The fraction below is exact.
  int64_t whole = static_cast<int64_t>(value);
  const double fraction = value - static_cast<double>(whole);
  if (fraction >= 0.5) ++whole;
  if (fraction <= -0.5) --whole;
  if (whole < std::numeric_limits<int32_t>::min() || whole > std::numeric_limits<int32_t>::max())
    return kOutOfRange;
  return static_cast<int32_t>(whole);
}

double DegreesToRadians(int32_t degrees) { return degrees * 3.141592653589793 / 180; }

int32_t RadiansToDegrees(double radians) {
  return RoundHalfAwayFromZero(radians * 180 / 3.141592653589793);
}

int32_t WrapDegrees(int64_t degrees) {
  int64_t d = degrees % 360;  // no sum that could overflow for extreme inputs
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return static_cast<int32_t>(d);
}
}  // namespace tessaro
