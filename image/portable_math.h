// Transcendental functions that give the same bits in every build.
//
// Rendered images are compared bit for bit between the Linux and the Windows
// build, and the two C libraries disagree in the last bit of exp, sin, cos and
// atan2: for about one argument in a thousand, and for sin and cos on Windows
// one in seven.  These replacements use nothing but IEEE double addition,
// subtraction, multiplication and division (never contracted into a fused
// multiply-add), exact library functions (floor, fabs) and integer arithmetic,
// so every conforming SSE2 build computes the same results.
//
// They are correctly rounded as well: each result is the double nearest to the
// true value.  The evaluation carries about 100 bits, so a result can only be
// wrong where the true value lies within about 2^-100 (relative) of a midpoint
// between two doubles; where small arguments make a result an exact leading
// part plus a small rest (e^x = 1 + x + ..., sin x = x - ...), that margin is
// relative to the rest alone.  Special cases (signed zeros, infinities, NaN,
// overflow, underflow into subnormals) follow the IEEE rules of the C
// standard's annex F.  A call costs roughly ten times the C library's, 75 to
// 200 nanoseconds: fine for tables and per-pixel work, not for inner loops
// that run many times per pixel.
#pragma once

namespace tessaro {

// e^x.  +inf above 709.78..., 0 below -745.13..., subnormal in between as it
// falls; exp(-inf) = +0, exp(+inf) = +inf, NaN gives NaN.
double PortableExp(double x);

// Sine and cosine of x in radians, for every finite x (the argument is reduced
// with as many bits of pi as it needs).  sin(+-0) = +-0; infinities and NaN give
// NaN.
double PortableSin(double x);
double PortableCos(double x);

// The angle of the point (x, y) in radians, in -pi..pi, with the quadrant
// taken from both signs: atan2(+-0, +0) = +-0, atan2(+-0, -0) = +-pi,
// atan2(+-y, -inf) = +-pi, atan2(+-inf, +-inf) = +-pi/4 or +-3pi/4, and so on.
// NaN in either argument gives NaN.
double PortableAtan2(double y, double x);

}  // namespace tessaro
