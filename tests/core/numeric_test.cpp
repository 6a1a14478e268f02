#include "core/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Round, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(core::Round(2.5), 2);
  EXPECT_EQ(core::Round(3.5), 4);
  EXPECT_EQ(core::Round(-2.5), -2);
  EXPECT_EQ(core::Round(40.0 / 5), 8);
  EXPECT_EQ(core::Round(40.0 / 10), 4);
  EXPECT_EQ(core::Round(40.0 / 1), 40);
  EXPECT_EQ(core::Round(199 / 10.0), 20);
  EXPECT_EQ(core::Round(0.49999), 0);
}

TEST(Round, GoesThroughSinglePrecision) {
  // 0.5 + 2^-30 is above the half in double precision but exactly 0.5 as a float.
  EXPECT_EQ(core::Round(0.5 + std::ldexp(1.0, -30)), 0);
  // 16777217 is not a float: it becomes 16777216 before rounding.
  EXPECT_EQ(core::Round(16777217.0), 16777216);
}

TEST(Round, NonFiniteValuesDoNotCrash) {
  EXPECT_EQ(core::Round(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(core::Round(std::numeric_limits<double>::infinity()), INT32_MAX);
  EXPECT_EQ(core::Round(-std::numeric_limits<double>::infinity()), INT32_MIN);
}

TEST(Random, StaysInRangeAndIsRepeatable) {
  core::Rng a(5), b(5);
  EXPECT_EQ(a.Random(0), 0);
  bool seen_low = false, seen_high = false;
  for (int i = 0; i < 2000; ++i) {
    const int r = a.Random(3);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 3);
    seen_low |= r == 0;
    seen_high |= r == 2;
    EXPECT_EQ(r, b.Random(3));
  }
  EXPECT_TRUE(seen_low && seen_high);
  for (int i = 0; i < 200; ++i) {
    const int r = a.Random(-4);
    EXPECT_LE(r, 0);
    EXPECT_GE(r, -4);
  }
}
