#include "image/resample_filters.h"

#include <cmath>

#include "image/portable_math.h"

namespace tessaro {

namespace {

constexpr double kPi = 3.141592653589793;

}  // namespace

double CGaussianFilter::Filter(double x) const {
  // The constant factors cancel in every normalised table, but they take part
  // in its rounding, so they stay.
  static const double kSqrtTwoPi = std::sqrt(2.0 * kPi);
  return std::fabs(x) <= Width() ? PortableExp(-(x * x) / Width() - 1.0) / kSqrtTwoPi : 0.0;
}

double CBilinearFilter::Filter(double x) const {
  const double d = std::fabs(x);
  return d < Width() ? Width() - d : 0.0;
}

}  // namespace tessaro
