#include "image/portable_math.h"

#include "image/numeric.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

// Fast-math lets the compiler reassociate, which undoes the error-free
// transformations below.
#if defined(__FAST_MATH__)
#error "portable_math.cpp must be built without fast-math"
#endif

namespace tessaro {
namespace {

// ---- Double-double arithmetic -----------------------------------------------
//
// A pair hi + lo with |lo| about ulp(hi) / 2 or less carries about 106 bits.
// The error-free steps below (Knuth's two-sum, Dekker's product with
// Veltkamp's split) hold only if every operation is rounded once to double: the
// build ensures it (SSE2 arithmetic, no contraction into fused multiply-add).
// A fused multiply-add would make the product simpler but would tie the results
// to hardware and compiler settings, which is what this file exists to avoid.

struct DD {
  double hi, lo;
};

// |a| >= |b| or a == 0.
DD QuickTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

DD TwoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// a = hi + lo with both halves of at most 26 significant bits, so that the
// products of halves are exact.  Valid for |a| < 2^996; every value split here
// is below 4.
void Split(double a, double& hi, double& lo) {
  const double t = 134217729.0 * a;  // 2^27 + 1
  hi = t - (t - a);
  lo = a - hi;
}

DD TwoProd(double a, double b) {
  const double p = a * b;
  double ah, al, bh, bl;
  Split(a, ah, al);
  Split(b, bh, bl);
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

DD Neg(DD a) { return {-a.hi, -a.lo}; }

// Keeps its accuracy relative to the result when a and b nearly cancel.
DD Add(DD a, DD b) {
  DD s = TwoSum(a.hi, b.hi);
  const DD t = TwoSum(a.lo, b.lo);
  s = QuickTwoSum(s.hi, s.lo + t.hi);
  return QuickTwoSum(s.hi, s.lo + t.lo);
}

DD Add(DD a, double b) {
  const DD s = TwoSum(a.hi, b);
  return QuickTwoSum(s.hi, s.lo + a.lo);
}

DD Mul(DD a, DD b) {
  const DD p = TwoProd(a.hi, b.hi);
  return QuickTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

DD Mul(DD a, double b) {
  const DD p = TwoProd(a.hi, b);
  return QuickTwoSum(p.hi, p.lo + a.lo * b);
}

// a b + c where the sum does not cancel (|ab| well below |c|, as in the Horner
// steps of the series here): one renormalisation instead of three.
DD MulAdd(DD a, DD b, DD c) {
  const DD p = TwoProd(a.hi, b.hi);
  const DD s = TwoSum(c.hi, p.hi);
  return QuickTwoSum(s.hi, s.lo + ((p.lo + c.lo) + (a.hi * b.lo + a.lo * b.hi)));
}

// Long division with three partial quotients.
DD Div(DD a, DD b) {
  const double q1 = a.hi / b.hi;
  DD r = Add(a, Neg(Mul(b, q1)));
  const double q2 = r.hi / b.hi;
  r = Add(r, Neg(Mul(b, q2)));
  const double q3 = r.hi / b.hi;
  return Add(QuickTwoSum(q1, q2), q3);
}

// a / b for a, b in [1, 2), in three parts.  The remainder of a correctly
// rounded quotient is itself a double and the product expansion gives it
// exactly, so hi + lo is the quotient to about 2^-106 with lo of the right
// sign, and tail carries it on to about 2^-159.
struct Quotient3 {
  double hi, lo, tail;
};

Quotient3 DivideExactly(double a, double b) {
  const double q = a / b;
  const DD p = TwoProd(q, b);
  const double rem = (a - p.hi) - p.lo;
  const double lo = rem / b;
  const DD p2 = TwoProd(lo, b);
  return {q, lo, ((rem - p2.hi) - p2.lo) / b};
}

// ---- Exponents ----------------------------------------------------------------
//
// Powers of two are made from their bit patterns, and scaling by one is then a
// single multiplication, so there is no dependence on how a C library scales.

// 2^n for -1022 <= n <= 1023.
double Pow2(int n) { return FromBits(uint64_t(n + 1023) << 52); }

// v 2^n for |n| <= 2000, in at most two steps; exact whenever the intermediate
// and the result are normal, which is how every caller uses it.
double Scale(double v, int n) {
  if (n > 1000) {
    v *= Pow2(1000);
    n -= 1000;
  } else if (n < -1000) {
    v *= Pow2(-1000);
    n += 1000;
  }
  return v * Pow2(n);
}

// floor(log2 |v|) for finite v != 0, subnormals included.
int Exponent(double v) {
  const int biased = int((BitsOf(v) >> 52) & 0x7FF);
  if (biased != 0) return biased - 1023;
  return int((BitsOf(v * 0x1p64) >> 52) & 0x7FF) - 1023 - 64;
}

// The value (a + b) 2^-1074 rounded to a multiple of 2^-1074, the spacing of
// the subnormals and of the lowest normal binade, for 0 <= a < 2^53 and
// |b| <= ulp(a) / 2.  An exact tie goes toward zero: where a tie can occur
// exactly (atan2 of tiny ratios) the true value lies just below it.
// frac -+ 0.5 is exact wherever it decides anything, and a sum of two doubles
// has the sign of its exact value, so the comparisons are exact.
double RoundToSubnormalGrid(double a, double b) {
  const double whole = std::floor(a);
  const double frac = a - whole;
  double n = whole;
  if ((frac - 0.5) + b > 0) {
    n += 1;
  } else if ((frac + 0.5) + b <= 0) {
    n -= 1;
  }
  return n * 0x1p-1074;
}

// The double nearest to r + d + e, for a normal r = fl(r + d) and |e| below a
// quarter of the gaps around r.  d + e is compared with half of each gap
// exactly: d minus half a gap is exact when the two are within a factor of two
// of each other, and far from zero otherwise.
double RoundNearest(double r, double d, double e) {
  const uint64_t bits = BitsOf(r);
  const double away = FromBits(bits + 1), toward = FromBits(bits - 1);
  if (r < 0) {
    d = -d;
    e = -e;
  }
  const double halfAway = std::fabs(away - r) * 0.5, halfToward = std::fabs(r - toward) * 0.5;
  if ((d - halfAway) + e > 0) return away;
  if ((d + halfToward) + e < 0) return toward;
  return r;
}

// head + rest rounded once, for a normalised head and |rest| < |head| / 8.
// Many results are an exact leading part (1 + x, x, 1 - x^2/2) plus a small
// rest, and small arguments put exactly such sums close to a rounding tie
// (e^x for x = 2^-53 is 1 + 2^-53 + 2^-107).  Rounding them as one double-double
// would leave an error of 2^-106 relative to the result; kept apart until this
// single rounding, the error is relative to the rest.
double RoundCorrected(DD head, DD rest) {
  const DD s = TwoSum(head.lo, rest.hi);
  const DD r = TwoSum(head.hi, s.hi);
  return RoundNearest(r.hi, r.lo, s.lo + rest.lo);
}

// ---- Constants ---------------------------------------------------------------
//
// Each pair is the value rounded to double and the remainder rounded to
// double, computed with 400-bit arithmetic.

// 1 / n! for n = 0..30.
constexpr DD kInvFact[31] = {
    {0x1.0000000000000p+0, 0.0},
    {0x1.0000000000000p+0, 0.0},
    {0x1.0000000000000p-1, 0.0},
    {0x1.5555555555555p-3, 0x1.5555555555555p-57},
    {0x1.5555555555555p-5, 0x1.5555555555555p-59},
    {0x1.1111111111111p-7, 0x1.1111111111111p-63},
    {0x1.6c16c16c16c17p-10, -0x1.f49f49f49f49fp-65},
    {0x1.a01a01a01a01ap-13, 0x1.a01a01a01a01ap-73},
    {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},
    {0x1.71de3a556c734p-19, -0x1.c154f8ddc6c00p-73},
    {0x1.27e4fb7789f5cp-22, 0x1.cbbc05b4fa99ap-76},
    {0x1.ae64567f544e4p-26, -0x1.c062e06d1f209p-80},
    {0x1.1eed8eff8d898p-29, -0x1.2aec959e14c06p-83},
    {0x1.6124613a86d09p-33, 0x1.f28e0cc748ebep-87},
    {0x1.93974a8c07c9dp-37, 0x1.05d6f8a2efd1fp-92},
    {0x1.ae7f3e733b81fp-41, 0x1.1d8656b0ee8cbp-97},
    {0x1.ae7f3e733b81fp-45, 0x1.1d8656b0ee8cbp-101},
    {0x1.952c77030ad4ap-49, 0x1.ac981465ddc6cp-103},
    {0x1.6827863b97d97p-53, 0x1.eec01221a8b0bp-107},
    {0x1.2f49b46814157p-57, 0x1.2650f61dbdcb4p-112},
    {0x1.e542ba4020225p-62, 0x1.ea72b4afe3c2fp-120},
    {0x1.71b8ef6dcf572p-66, -0x1.d043ae40c4647p-120},
    {0x1.0ce396db7f853p-70, -0x1.aebcdbd20331cp-124},
    {0x1.761b41316381ap-75, -0x1.3423c7d91404fp-130},
    {0x1.f2cf01972f578p-80, -0x1.9ada5fcc1ab14p-135},
    {0x1.3f3ccdd165fa9p-84, -0x1.58ddadf344487p-139},
    {0x1.88e85fc6a4e5ap-89, -0x1.71c37ebd16540p-143},
    {0x1.d1ab1c2dccea3p-94, 0x1.054d0c78aea14p-149},
    {0x1.0a18a2635085dp-98, 0x1.b9e2e28e1aa54p-153},
    {0x1.259f98b4358adp-103, 0x1.eaf8c39dd9bc5p-157},
    {0x1.3932c5047d60ep-108, 0x1.832b7b530a627p-162},
};

// 1 / (2n + 1) for n = 0..7.
constexpr DD kInvOdd[8] = {
    {0x1p+0, 0.0},
    {0x1.5555555555555p-2, 0x1.5555555555555p-56},
    {0x1.999999999999ap-3, -0x1.999999999999ap-57},
    {0x1.2492492492492p-3, 0x1.2492492492492p-57},
    {0x1.c71c71c71c71cp-4, 0x1.c71c71c71c71cp-58},
    {0x1.745d1745d1746p-4, -0x1.745d1745d1746p-59},
    {0x1.3b13b13b13b14p-4, -0x1.3b13b13b13b14p-58},
    {0x1.1111111111111p-4, 0x1.1111111111111p-60},
};

// 2^(j/64) for j = 0..63.
constexpr DD kExp2Table[64] = {
    {0x1.0000000000000p+0, 0.0}, {0x1.02c9a3e778061p+0, -0x1.19083535b085dp-56},
    {0x1.059b0d3158574p+0, 0x1.d73e2a475b465p-55}, {0x1.0874518759bc8p+0, 0x1.186be4bb284ffp-57},
    {0x1.0b5586cf9890fp+0, 0x1.8a62e4adc610bp-54}, {0x1.0e3ec32d3d1a2p+0, 0x1.03a1727c57b53p-59},
    {0x1.11301d0125b51p+0, -0x1.6c51039449b3ap-54}, {0x1.1429aaea92de0p+0, -0x1.32fbf9af1369ep-54},
    {0x1.172b83c7d517bp+0, -0x1.19041b9d78a76p-55}, {0x1.1a35beb6fcb75p+0, 0x1.e5b4c7b4968e4p-55},
    {0x1.1d4873168b9aap+0, 0x1.e016e00a2643cp-54}, {0x1.2063b88628cd6p+0, 0x1.dc775814a8495p-55},
    {0x1.2387a6e756238p+0, 0x1.9b07eb6c70573p-54}, {0x1.26b4565e27cddp+0, 0x1.2bd339940e9d9p-55},
    {0x1.29e9df51fdee1p+0, 0x1.612e8afad1255p-55}, {0x1.2d285a6e4030bp+0, 0x1.0024754db41d5p-54},
    {0x1.306fe0a31b715p+0, 0x1.6f46ad23182e4p-55}, {0x1.33c08b26416ffp+0, 0x1.32721843659a6p-54},
    {0x1.371a7373aa9cbp+0, -0x1.63aeabf42eae2p-54}, {0x1.3a7db34e59ff7p+0, -0x1.5e436d661f5e3p-56},
    {0x1.3dea64c123422p+0, 0x1.ada0911f09ebcp-55}, {0x1.4160a21f72e2ap+0, -0x1.ef3691c309278p-58},
    {0x1.44e086061892dp+0, 0x1.89b7a04ef80d0p-59}, {0x1.486a2b5c13cd0p+0, 0x1.3c1a3b69062f0p-56},
    {0x1.4bfdad5362a27p+0, 0x1.d4397afec42e2p-56}, {0x1.4f9b2769d2ca7p+0, -0x1.4b309d25957e3p-54},
    {0x1.5342b569d4f82p+0, -0x1.07abe1db13cadp-55}, {0x1.56f4736b527dap+0, 0x1.9bb2c011d93adp-54},
    {0x1.5ab07dd485429p+0, 0x1.6324c054647adp-54}, {0x1.5e76f15ad2148p+0, 0x1.ba6f93080e65ep-54},
    {0x1.6247eb03a5585p+0, -0x1.383c17e40b497p-54}, {0x1.6623882552225p+0, -0x1.bb60987591c34p-54},
    {0x1.6a09e667f3bcdp+0, -0x1.bdd3413b26456p-54}, {0x1.6dfb23c651a2fp+0, -0x1.bbe3a683c88abp-57},
    {0x1.71f75e8ec5f74p+0, -0x1.16e4786887a99p-55}, {0x1.75feb564267c9p+0, -0x1.0245957316dd3p-54},
    {0x1.7a11473eb0187p+0, -0x1.41577ee04992fp-55}, {0x1.7e2f336cf4e62p+0, 0x1.05d02ba15797ep-56},
    {0x1.82589994cce13p+0, -0x1.d4c1dd41532d8p-54}, {0x1.868d99b4492edp+0, -0x1.fc6f89bd4f6bap-54},
    {0x1.8ace5422aa0dbp+0, 0x1.6e9f156864b27p-54}, {0x1.8f1ae99157736p+0, 0x1.5cc13a2e3976cp-55},
    {0x1.93737b0cdc5e5p+0, -0x1.75fc781b57ebcp-57}, {0x1.97d829fde4e50p+0, -0x1.d185b7c1b85d1p-54},
    {0x1.9c49182a3f090p+0, 0x1.c7c46b071f2bep-56}, {0x1.a0c667b5de565p+0, -0x1.359495d1cd533p-54},
    {0x1.a5503b23e255dp+0, -0x1.d2f6edb8d41e1p-54}, {0x1.a9e6b5579fdbfp+0, 0x1.0fac90ef7fd31p-54},
    {0x1.ae89f995ad3adp+0, 0x1.7a1cd345dcc81p-54}, {0x1.b33a2b84f15fbp+0, -0x1.2805e3084d708p-57},
    {0x1.b7f76f2fb5e47p+0, -0x1.5584f7e54ac3bp-56}, {0x1.bcc1e904bc1d2p+0, 0x1.23dd07a2d9e84p-55},
    {0x1.c199bdd85529cp+0, 0x1.11065895048ddp-55}, {0x1.c67f12e57d14bp+0, 0x1.2884dff483cadp-54},
    {0x1.cb720dcef9069p+0, 0x1.503cbd1e949dbp-56}, {0x1.d072d4a07897cp+0, -0x1.cbc3743797a9cp-54},
    {0x1.d5818dcfba487p+0, 0x1.2ed02d75b3707p-55}, {0x1.da9e603db3285p+0, 0x1.c2300696db532p-54},
    {0x1.dfc97337b9b5fp+0, -0x1.1a5cd4f184b5cp-54}, {0x1.e502ee78b3ff6p+0, 0x1.39e8980a9cc8fp-55},
    {0x1.ea4afa2a490dap+0, -0x1.e9c23179c2893p-54}, {0x1.efa1bee615a27p+0, 0x1.dc7f486a4b6b0p-54},
    {0x1.f50765b6e4540p+0, 0x1.9d3e12dd8a18bp-54}, {0x1.fa7c1819e90d8p+0, 0x1.74853f3a5931ep-55},
};

// atan(i/64) for i = 0..64.
constexpr DD kAtanTable[65] = {
    {0.0, 0.0}, {0x1.fff555bbb729bp-7, -0x1.220c39d4dff50p-61},
    {0x1.ffd55bba97625p-6, -0x1.5ec431444912cp-60}, {0x1.7fb818430da2ap-5, -0x1.86ef8f794f105p-63},
    {0x1.ff55bb72cfdeap-5, -0x1.c934d86d23f1dp-60}, {0x1.3f59f0e7c559dp-4, 0x1.ac4ce285df847p-58},
    {0x1.7ee182602f10fp-4, -0x1.cfb654c0c3d98p-58}, {0x1.be39ebe6f07c3p-4, 0x1.f7b8f29a05987p-58},
    {0x1.fd5ba9aac2f6ep-4, -0x1.cd37686760c17p-59}, {0x1.1e1fafb043727p-3, -0x1.b485914dacf8cp-59},
    {0x1.3d6eee8c6626cp-3, 0x1.61a3b0ce9281bp-57}, {0x1.5c9811e3ec26ap-3, -0x1.054ab2c010f3dp-58},
    {0x1.7b97b4bce5b02p-3, 0x1.347b0b4f881cap-58}, {0x1.9a6a8e96c8626p-3, 0x1.cf601e7b4348ep-59},
    {0x1.b90d7529260a2p-3, 0x1.17b10d2e0e5abp-61}, {0x1.d77d5df205736p-3, 0x1.c648d1534597ep-57},
    {0x1.f5b75f92c80ddp-3, 0x1.8ab6e3cf7afbdp-57}, {0x1.09dc597d86362p-2, 0x1.62e47390cb865p-56},
    {0x1.18bf5a30bf178p-2, 0x1.30ca4748b1bf9p-57}, {0x1.278372057ef46p-2, -0x1.077cdd36dfc81p-56},
    {0x1.362773707ebccp-2, -0x1.963a544b672d8p-57}, {0x1.44aa436c2af0ap-2, -0x1.5d5e43c55b3bap-56},
    {0x1.530ad9951cd4ap-2, -0x1.2566480884082p-57}, {0x1.614840309cfe2p-2, -0x1.a725715711f00p-56},
    {0x1.6f61941e4def1p-2, -0x1.c63aae6f6e918p-56}, {0x1.7d5604b63b3f7p-2, 0x1.69c885c2b249ap-56},
    {0x1.8b24d394a1b25p-2, 0x1.b6d0ba3748fa8p-56}, {0x1.98cd5454d6b18p-2, 0x1.9e6c988fd0a77p-56},
    {0x1.a64eec3cc23fdp-2, -0x1.24dec1b50b7ffp-56}, {0x1.b3a911da65c6cp-2, 0x1.ae187b1ca5040p-56},
    {0x1.c0db4c94ec9f0p-2, -0x1.cc1ce70934c34p-56}, {0x1.cde53432c1351p-2, -0x1.a2cfa4418f1adp-56},
    {0x1.dac670561bb4fp-2, 0x1.a2b7f222f65e2p-56}, {0x1.e77eb7f175a34p-2, 0x1.0e53dc1bf3435p-56},
    {0x1.f40dd0b541418p-2, -0x1.a3992dc382a23p-57}, {0x1.0039c73c1a40cp-1, -0x1.b32c949c9d593p-55},
    {0x1.0657e94db30d0p-1, -0x1.d5b495f6349e6p-56}, {0x1.0c6145b5b43dap-1, 0x1.974fa13b5404fp-58},
    {0x1.1255d9bfbd2a9p-1, -0x1.2bdaee1c0ee35p-58}, {0x1.1835a88be7c13p-1, 0x1.c621cec00c301p-55},
    {0x1.1e00babdefeb4p-1, -0x1.928df287a668fp-58}, {0x1.23b71e2cc9e6ap-1, 0x1.c421c9f38224ep-57},
    {0x1.2958e59308e31p-1, -0x1.09e73b0c6c087p-56}, {0x1.2ee628406cbcap-1, 0x1.c5d5e9ff0cf8dp-55},
    {0x1.345f01cce37bbp-1, 0x1.1021137c71102p-55}, {0x1.39c391cd4171ap-1, -0x1.2304331d8bf46p-55},
    {0x1.3f13fb89e96f4p-1, 0x1.ecf8b492644f0p-56}, {0x1.445065b795b56p-1, -0x1.f76d0163f79c8p-56},
    {0x1.4978fa3269ee1p-1, 0x1.2419a87f2a458p-56}, {0x1.4e8de5bb6ec04p-1, 0x1.4a33dbeb3796cp-55},
    {0x1.538f57b89061fp-1, -0x1.1bb74abda520cp-55}, {0x1.587d81f732fbbp-1, -0x1.5e5c9d8c5a950p-56},
    {0x1.5d58987169b18p-1, 0x1.0028e4bc5e7cap-57}, {0x1.6220d115d7b8ep-1, -0x1.2b785350ee8c1p-57},
    {0x1.66d663923e087p-1, -0x1.6ea6febe8bbbap-56}, {0x1.6b798920b3d99p-1, -0x1.a80386188c50ep-55},
    {0x1.700a7c5784634p-1, -0x1.8c34d25aadef6p-56}, {0x1.748978fba8e0fp-1, 0x1.7b2a6165884a1p-59},
    {0x1.78f6bbd5d315ep-1, 0x1.406a089803740p-55}, {0x1.7d528289fa093p-1, 0x1.560821e2f3aa9p-55},
    {0x1.819d0b7158a4dp-1, -0x1.bf76229d3b917p-56}, {0x1.85d69576cc2c5p-1, 0x1.6b66e7fc8b8c3p-57},
    {0x1.89ff5ff57f1f8p-1, -0x1.55b9a5e177a1bp-55}, {0x1.8e17aa99cc05ep-1, -0x1.ec182ab042f61p-56},
    {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55},
};

// 2/pi in 32-bit words, most significant first: 2/pi = sum of word[j] 2^(-32(j+1)).
// Forty words reach far enough for the largest doubles (see ReduceByHalfPi).
constexpr uint32_t kTwoOverPi[40] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB,
    0xDEBBC561, 0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E,
    0xE88235F5, 0x2EBB4484, 0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B,
    0xBDF9283B, 0x1FF897FF, 0xDE05980F, 0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7,
    0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B, 0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1,
    0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D,
};

constexpr DD kHalfPi = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
constexpr DD kPi = {0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53};
// pi/4 and 3pi/4 rounded to nearest; the first is below the true pi/4.
constexpr double kQuarterPi = 0x1.921fb54442d18p-1;
constexpr double kThreeQuarterPi = 0x1.2d97c7f3321d2p+1;

// ln2/64 in three parts; the first two have at most 35 significant bits, so
// their products with any |k| < 2^17 are exact.
constexpr double kLn2Over64Hi = 0x1.62e42fef8p-7;
constexpr double kLn2Over64Mid = 0x1.1cf79abc8p-42;
constexpr double kLn2Over64Lo = 0x1.e3b39803f2f6bp-78;
constexpr double k64OverLn2 = 0x1.71547652b82fep+6;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kMaxFinite = std::numeric_limits<double>::max();

// ---- exp ---------------------------------------------------------------------

// e^r - 1 - r = r^2 (1/2 + r/6 + ...) for |r| <= ln2/128 (plus a rounding's
// worth).  The terms r^n/n! fall below 2^-53 from n = 6 on, so those are summed
// in plain double; the series stops where r^12/12! < 2^-118.
DD ExpRest(DD r) {
  double tail = kInvFact[11].hi;
  for (int n = 10; n >= 6; --n) tail = kInvFact[n].hi + r.hi * tail;
  DD p = {tail, 0.0};
  for (int n = 5; n >= 2; --n) p = MulAdd(p, r, kInvFact[n]);
  return Mul(Mul(r, r), p);
}

// ---- sin and cos -------------------------------------------------------------

// (-1)^n / m!, the coefficients of the sine (m = 2n + 1) and cosine (m = 2n)
// series in z = r^2.
DD AlternatingInvFact(int n, int m) { return (n & 1) ? Neg(kInvFact[m]) : kInvFact[m]; }

// sin r = r + r z (-1/6 + z/120 - ...) for |r| <= pi/4, z = r^2 <= 0.62; the
// rest is at most a tenth of r.  From z^8/17! on the terms are below 2^-54 and
// double precision suffices; z^15/31! < 2^-120 ends the series.
double SinOf(DD r) {
  const DD z = Mul(r, r);
  double tail = AlternatingInvFact(14, 29).hi;
  for (int n = 13; n >= 8; --n) tail = AlternatingInvFact(n, 2 * n + 1).hi + z.hi * tail;
  DD p = {tail, 0.0};
  for (int n = 7; n >= 1; --n) p = MulAdd(p, z, AlternatingInvFact(n, 2 * n + 1));
  return RoundCorrected(r, Mul(Mul(r, z), p));
}

// cos r = (1 - z/2) + z^2 (1/24 - z/720 + ...) for |r| <= pi/4.  For an
// unreduced argument (r.lo == 0) z is exact, and so is the head 1 - z.hi/2 as
// a two-sum (z.lo/2 joins the rest).  From z^9/18! on the terms are below
// 2^-58; z^16/32! < 2^-128 ends the series.
double CosOf(DD r) {
  const DD z = Mul(r, r);
  double tail = AlternatingInvFact(15, 30).hi;
  for (int n = 14; n >= 9; --n) tail = AlternatingInvFact(n, 2 * n).hi + z.hi * tail;
  DD p = {tail, 0.0};
  for (int n = 8; n >= 2; --n) p = MulAdd(p, z, AlternatingInvFact(n, 2 * n));
  const DD rest = Add(Mul(Mul(z, z), p), -0.5 * z.lo);
  return RoundCorrected(TwoSum(1.0, -0.5 * z.hi), rest);
}

// Bits p..p+63 of the little-endian number in words (p >= 0; the words array
// must extend two words past p / 32).
uint64_t BitsAt(const uint32_t* words, int p) {
  const int w = p / 32, s = p % 32;
  const uint64_t low = words[w] | (uint64_t(words[w + 1]) << 32);
  return s == 0 ? low : (low >> s) | (uint64_t(words[w + 2]) << (64 - s));
}

struct Reduced {
  DD r;               // |r| <= pi/4
  unsigned quadrant;  // x = (4k + quadrant) pi/2 + r for some integer k
};

// Reduction of a finite x >= pi/4, accurate to about 2^-105 relative in r for
// every double, however large.  x = m 2^e with an integer m < 2^53 is
// multiplied by 2/pi in integer arithmetic: the words of 2/pi whose product
// with m has weight 4 or more only add whole turns and are skipped, and the
// nine that follow give the quadrant and at least 202 correct bits of
// fraction.  No double lies closer to a multiple of pi/2 than about 2^-62 of it
// (a known result of searching all doubles with continued fractions), so of the
// 192 fraction bits kept at least 130 are significant.  The fraction then
// becomes a double-double and is multiplied by pi/2.
Reduced ReduceByHalfPi(double x) {
  const uint64_t bits = BitsOf(x);
  const uint64_t m = (bits & ((uint64_t(1) << 52) - 1)) | (uint64_t(1) << 52);
  const int e = int(bits >> 52) - 1075;

  constexpr int kWords = 9;
  const int first = e > 2 ? (e - 2) / 32 : 0;
  // prod = m * (the kWords words of 2/pi from first on, as one integer);
  // x * 2/pi = prod * 2^-point, up to the skipped whole turns and less than
  // 2^(53 - point) of truncation.
  uint32_t prod[kWords + 4] = {};
  const uint64_t m0 = m & 0xFFFFFFFFu, m1 = m >> 32;
  for (int i = 0; i < kWords; ++i) {
    const uint64_t w = kTwoOverPi[first + kWords - 1 - i];
    uint64_t t = w * m0 + prod[i];
    prod[i] = uint32_t(t);
    t = (t >> 32) + w * m1 + prod[i + 1];
    prod[i + 1] = uint32_t(t);
    t >>= 32;
    for (int k = i + 2; t != 0; ++k) {
      t += prod[k];
      prod[k] = uint32_t(t);
      t >>= 32;
    }
  }
  const int point = 32 * (first + kWords) - e;  // 255..341

  Reduced out;
  out.quadrant = unsigned(BitsAt(prod, point)) & 3u;
  uint64_t f0 = BitsAt(prod, point - 64), f1 = BitsAt(prod, point - 128),
           f2 = BitsAt(prod, point - 192);
  const bool negative = (f0 >> 63) != 0;
  if (negative) {  // fraction >= 1/2: measure r back from the next multiple
    out.quadrant = (out.quadrant + 1) & 3u;
    f2 = ~f2 + 1;
    uint64_t carry = f2 == 0 ? 1 : 0;
    f1 = ~f1 + carry;
    carry = (carry != 0 && f1 == 0) ? 1 : 0;
    f0 = ~f0 + carry;
  }
  int shift = 0;
  while (f0 == 0 && shift < 192) {
    f0 = f1;
    f1 = f2;
    f2 = 0;
    shift += 64;
  }
  if (f0 == 0) {  // x an exact multiple of pi/2: impossible for a double
    out.r = {0.0, 0.0};
    return out;
  }
  for (int step = 32; step > 0; step /= 2) {
    if ((f0 >> (64 - step)) == 0) {
      f0 = (f0 << step) | (f1 >> (64 - step));
      f1 = (f1 << step) | (f2 >> (64 - step));
      f2 <<= step;
      shift += step;
    }
  }
  // The fraction is (f0 2^-64 + f1 2^-128) 2^-shift with f0's top bit set.
  const double hi = double(f0 >> 11) * Pow2(-53 - shift);
  const double lo = double(((f0 & 0x7FF) << 42) | (f1 >> 22)) * Pow2(-106 - shift);
  const DD r = Mul(DD{hi, lo}, kHalfPi);
  out.r = negative ? Neg(r) : r;
  return out;
}

Reduced Reduce(double ax) {
  if (ax <= kQuarterPi) return {{ax, 0.0}, 0};
  return ReduceByHalfPi(ax);
}

// ---- atan2 -------------------------------------------------------------------

// atan u - u = u z (-1/3 + z/5 - ...) for |u| <= 1/128, z = u^2 <= 2^-14.  The
// terms need double-double only up to z^3/7, and z^8/17 < 2^-116 ends it.
DD AtanRest(DD u) {
  const DD z = Mul(u, u);
  const double tail =
      kInvOdd[4].hi - z.hi * (kInvOdd[5].hi - z.hi * (kInvOdd[6].hi - z.hi * kInvOdd[7].hi));
  DD p = MulAdd(z, {tail, 0.0}, Neg(kInvOdd[3]));
  p = MulAdd(p, z, kInvOdd[2]);
  p = MulAdd(p, z, Neg(kInvOdd[1]));
  return Mul(Mul(u, z), p);
}

// atan t for 0 <= t.hi <= 1, with an absolute error of about 2^-106 and a
// relative one of about 2^-104: atan t = atan c + atan u with c = i/64 nearest
// t and u = (t - c) / (1 + tc), |u| <= 1/128.
DD AtanUnit(DD t) {
  const int i = int(std::floor(t.hi * 64.0 + 0.5));
  DD u = t;
  if (i != 0) {
    const double c = i / 64.0;
    u = Div(Add(t, -c), Add(Mul(t, c), 1.0));
  }
  return Add(kAtanTable[i], Add(u, AtanRest(u)));
}

// atan(num / den) rounded, for 0 < num <= den with num / den = q 2^d below
// 2^-54: atan t = t - t^3/3 lies within 2^-109 t of t.  Above the subnormals a
// quotient of two doubles is never a rounding tie (that would take a 54-bit
// odd significand, num has 53 bits) and stays at least 2^-107 t away from one,
// so atan t rounds as t does.  On the subnormal grid a tie can be exact, and
// then the true value lies just below it.
double AtanOfTinyRatio(const Quotient3& q, int d) {
  if (d < -1100) return 0.0;  // below a quarter of the smallest subnormal
  if (d + Exponent(q.hi) >= -1021) return Scale(q.hi, d);
  const double s = Pow2(d + 1074);
  return RoundToSubnormalGrid(q.hi * s, q.lo * s);
}

// atan2(ay, ax) for finite ay, ax > 0.
double Atan2Positive(double ay, double ax, bool xNegative) {
  const bool steep = ay > ax;  // then atan2 = pi/2 - atan(ax / ay)
  const double num = steep ? ax : ay, den = steep ? ay : ax;
  const int en = Exponent(num), ed = Exponent(den);
  const int d = en - ed;  // num / den = q 2^d with q in (1/2, 2)
  const Quotient3 q = DivideExactly(Scale(num, -en), Scale(den, -ed));
  if (!steep && !xNegative) {  // the result is atan(num / den) itself
    if (d < -55) return AtanOfTinyRatio(q, d);
    const DD t = {Scale(q.hi, d), Scale(q.lo, d)};
    if (t.hi >= 1.0 / 128) return AtanUnit(t).hi;
    // t is exact up to q.tail: keep it apart from the series.
    return RoundCorrected(t, Add(AtanRest(t), Scale(q.tail, d)));
  }
  // Below 2^-499, atan(num / den) is left out: against a result of at least
  // pi/4 it is far too small to move the rounding, neither pi/2 nor pi being
  // anywhere near a tie.
  DD a = {0.0, 0.0};
  if (d >= -500) a = AtanUnit({Scale(q.hi, d), Scale(q.lo, d)});
  if (steep) a = Add(kHalfPi, Neg(a));
  if (xNegative) a = Add(kPi, Neg(a));
  return a.hi;
}

}  // namespace

double PortableExp(double x) {
  if (x != x) return x + x;
  if (x > 709.8) return kInfinity;  // e^709.79 already overflows
  if (x < -745.2) return 0.0;       // e^-745.14 is below half the smallest subnormal
  // x = k ln2/64 + r: k has at most 17 bits, so k times the two leading parts
  // of ln2/64 is exact and so is the first subtraction (the operands are within
  // a factor of two); r is accurate to about 2^-112.
  const double kd = std::floor(x * k64OverLn2 + 0.5);
  const int k = int(kd);
  const DD s = TwoSum(x - kd * kLn2Over64Hi, -(kd * kLn2Over64Mid));
  const DD r = QuickTwoSum(s.hi, s.lo - kd * kLn2Over64Lo);
  const int j = int(unsigned(k) & 63u);
  const int m = (k - j) / 64;  // e^x = 2^m 2^(j/64) e^r
  const DD rest = ExpRest(r);
  if (k == 0) return RoundCorrected(TwoSum(1.0, x), rest);  // r = x exactly
  const DD v = Mul(kExp2Table[j], Add(Add(r, rest), 1.0));  // in [0.99, 2)
  if (m > 1023) return v.hi * Pow2(m - 1) * 2.0;  // overflows to infinity as it should
  if (m >= -1021) return v.hi * Pow2(m);
  const double scale = Pow2(m + 1074);
  return RoundToSubnormalGrid(v.hi * scale, v.lo * scale);
}

double PortableSin(double x) {
  const double ax = std::fabs(x);
  if (!(ax <= kMaxFinite)) return x - x;  // NaN stays NaN, infinities give NaN
  // Below 2^-26, x^3/6 is less than half the gap below x: sin x rounds to x.
  if (ax < 0x1p-26) return x;
  const Reduced red = Reduce(ax);
  const double v = (red.quadrant & 1) ? CosOf(red.r) : SinOf(red.r);
  const double s = (red.quadrant & 2) ? -v : v;
  return x < 0 ? -s : s;
}

double PortableCos(double x) {
  const double ax = std::fabs(x);
  if (!(ax <= kMaxFinite)) return x - x;
  // Below 2^-27, x^2/2 is less than half the gap below 1.
  if (ax < 0x1p-27) return 1.0;
  const Reduced red = Reduce(ax);
  const double v = (red.quadrant & 1) ? SinOf(red.r) : CosOf(red.r);
  return ((red.quadrant + 1) & 2) ? -v : v;
}

double PortableAtan2(double y, double x) {
  if (x != x || y != y) return x + y;
  const bool yNegative = (BitsOf(y) >> 63) != 0, xNegative = (BitsOf(x) >> 63) != 0;
  const double ay = std::fabs(y), ax = std::fabs(x);
  double angle;
  if (ay == 0) {
    angle = xNegative ? kPi.hi : 0.0;
  } else if (ax == kInfinity) {
    if (ay == kInfinity) {
      angle = xNegative ? kThreeQuarterPi : kQuarterPi;
    } else {
      angle = xNegative ? kPi.hi : 0.0;
    }
  } else if (ay == kInfinity || ax == 0) {
    angle = kHalfPi.hi;
  } else {
    angle = Atan2Positive(ay, ax, xNegative);
  }
  return yNegative ? -angle : angle;
}

}  // namespace tessaro
