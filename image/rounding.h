// Whole numbers from doubles with one defined result in every build, and the
// degree and radian conversions of the light direction.
#pragma once

#include <cstdint>

namespace tessaro {

// Light direction conversions.  Degrees become radians as d * pi / 180; radians
// become whole degrees rounded to nearest, halves away from zero.  Results outside
// the 32-bit range, and NaN, give the most negative 32-bit value.
double DegreesToRadians(int32_t degrees);
int32_t RadiansToDegrees(double radians);
// Rounds to nearest whole number, halves away from zero, with the same
// out-of-range rule as RadiansToDegrees.
int32_t RoundHalfAwayFromZero(double value);
// Maps any whole number of degrees into -180..180 (200 -> -160, -180 stays).
int32_t WrapDegrees(int64_t degrees);

}  // namespace tessaro
