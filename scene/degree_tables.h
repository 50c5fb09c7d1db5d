// The whole-degree sine and cosine tables of the scene.
#pragma once

#include <array>

namespace tessaro {

// Step between table entries in radians: this ten-digit decimal, not pi / 180,
// so the tables match the rotations the effect has always produced.
constexpr double kDegreeTableStep = 0.0174532925;

struct DegreeTables {
  std::array<double, 360> sine;    // sin(i * kDegreeTableStep)
  std::array<double, 360> cosine;  // cos(i * kDegreeTableStep)
};

// Computed once, without the platform's math library: each entry is the
// correctly rounded value of the function at the double argument
// i * kDegreeTableStep, identical in every build.
const DegreeTables& GetDegreeTables();

}  // namespace tessaro
