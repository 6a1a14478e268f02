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

TEST(Random, StateCarriesTheExactSequenceAndRefusesAnythingElse) {
  core::Rng a(12345);
  for (int i = 0; i < 700; ++i) a.Random(1000);  // past one block of the engine's words
  const std::string state = a.State();
  core::Rng b(1);
  ASSERT_TRUE(b.SetState(state));
  for (int i = 0; i < 2000; ++i) ASSERT_EQ(b.Random(1 + i), a.Random(1 + i)) << i;

  const std::string words = state.substr(0, state.rfind(' '));
  const core::Rng before = b;
  for (const std::string& bad : {std::string(), std::string("1 2 3"), words, state + " 5", words + " 625",
                                 words + " -1", "-" + state, "4294967296 " + state.substr(state.find(' ') + 1),
                                 words + " x", words + "  7\n"})
    EXPECT_FALSE(b.SetState(bad)) << bad.substr(0, 40) << " ... " << bad.substr(bad.size() > 40 ? bad.size() - 40 : 0);
  EXPECT_EQ(b, before);
}
