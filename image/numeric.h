// Conversions from double to integer with one defined result everywhere, and
// the four-character codes of the host interface.
//
// A C++ conversion of a double outside the target type's range is undefined,
// and compilers really do differ there.  Every double-to-integer step of the
// renderer goes through the helper below so that extreme coordinates, infinities
// and NaN give the same, defined result in every build.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>

namespace tessaro {

// Truncates toward zero.  Values that do not fit in 32 bits, infinities and NaN
// give the most negative 32-bit value, which is what the x86-64 truncating
// conversion instruction produces for them.
constexpr int32_t TruncateToInt32(double value) {
  // Every double strictly between these bounds truncates into the 32-bit range;
  // the comparisons are false for NaN.
  if (!(value > -2147483649.0 && value < 2147483648.0)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

// A four-character code as the host interface and the scripting keys write
// them: the first character in the most significant byte.
constexpr uint32_t FourCC(char a, char b, char c, char d) {
  return (uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) |
         (uint32_t(uint8_t(c)) << 8) | uint32_t(uint8_t(d));
}
constexpr uint32_t FourCC(const char (&s)[5]) { return FourCC(s[0], s[1], s[2], s[3]); }

// The bit pattern of a double and back.
inline uint64_t BitsOf(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}
inline double FromBits(uint64_t b) {
  double v;
  std::memcpy(&v, &b, sizeof v);
  return v;
}

}  // namespace tessaro
