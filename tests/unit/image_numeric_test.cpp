#include "image/numeric.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tessaro {
namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

TEST(TruncateToInt32, TruncatesTowardZeroInsideTheRange) {
  EXPECT_EQ(TruncateToInt32(2.99), 2);
  EXPECT_EQ(TruncateToInt32(-2.99), -2);  // not floor
  EXPECT_EQ(TruncateToInt32(-0.5), 0);
  EXPECT_EQ(TruncateToInt32(-0.0), 0);
  EXPECT_EQ(TruncateToInt32(2147483647.999), kMax);
  EXPECT_EQ(TruncateToInt32(-2147483648.999), kMin);
  static_assert(TruncateToInt32(5.5) == 5, "usable in constant expressions");
}

TEST(TruncateToInt32, EverythingOutsideTheRangeGivesTheMostNegativeValue) {
  // As the x86-64 conversion instruction does, so positive overflow too.
  EXPECT_EQ(TruncateToInt32(2147483648.0), kMin);
  EXPECT_EQ(TruncateToInt32(-2147483649.0), kMin);
  EXPECT_EQ(TruncateToInt32(1e300), kMin);
  EXPECT_EQ(TruncateToInt32(-1e300), kMin);
  EXPECT_EQ(TruncateToInt32(std::numeric_limits<double>::infinity()), kMin);
  EXPECT_EQ(TruncateToInt32(-std::numeric_limits<double>::infinity()), kMin);
  EXPECT_EQ(TruncateToInt32(std::numeric_limits<double>::quiet_NaN()), kMin);
}

}  // namespace
}  // namespace tessaro
