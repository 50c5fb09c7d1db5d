// Transcendental functions that give the same bits in every build.
//
// Rendered images are compared bit for bit between the Linux and the Windows
// build, and the two C libraries disagree in the last bit of exp, sin, cos and
// atan2 for a small share of arguments.  These replacements use nothing but
// IEEE double addition, subtraction, multiplication and division (with no
// contraction into fused multiply-add) and integer arithmetic, so any
// conforming SSE2 build computes the same results.
//
// They are correctly rounded as well: each result is the double nearest to the
// true value, except possibly where the true value lies within about 2^-100
// relative of the midpoint between two doubles, which no argument has been
// seen to do.  Special cases (signed zeros, infinities, NaN, overflow,
// underflow into subnormals) follow the C library's IEEE conventions.
#pragma once

namespace tessaro {

// e^x.  +inf above 709.78..., 0 below -745.13..., subnormal in between as it
// falls; exp(-inf) = +0, exp(+inf) = +inf, NaN gives NaN.
double PortableExp(double x);

// Sine and cosine of x in radians, for every finite x (the argument is reduced
// with as many bits of pi as it needs).  sin(±0) = ±0; infinities and NaN give
// NaN.
double PortableSin(double x);
double PortableCos(double x);

// The angle of the point (x, y) in radians, in -pi..pi, with the quadrant
// taken from both signs: atan2(±0, +0) = ±0, atan2(±0, -0) = ±pi,
// atan2(±y, -inf) = ±pi, atan2(±inf, ±inf) = ±pi/4 or ±3pi/4, and so on.
// NaN in either argument gives NaN.
double PortableAtan2(double y, double x);

}  // namespace tessaro
