#include "core/numeric.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

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
  // Zero wherever the recurrence reads (the first word counts with its top bit only): no
  // seed leads there, and it would draw zeros for ever. One bit set is a state of the cycle.
  std::string zeros;
  for (int i = 1; i < 624; ++i) zeros += " 0";
  EXPECT_TRUE(core::Rng().SetState("2147483648" + zeros + " 624"));
  EXPECT_TRUE(core::Rng().SetState("0" + zeros.substr(2) + " 1 0"));
  const core::Rng before = b;
  for (const std::string& bad : {std::string(), std::string("1 2 3"), words, state + " 5", words + " 625",
                                 words + " -1", "-" + state, "4294967296 " + state.substr(state.find(' ') + 1),
                                 words + " x", words + "  7\n", "0" + zeros + " 624", "2147483647" + zeros + " 0"})
    EXPECT_FALSE(b.SetState(bad)) << bad.substr(0, 40) << " ... " << bad.substr(bad.size() > 40 ? bad.size() - 40 : 0);
  EXPECT_EQ(b, before);
}

// The rules' "draw until it qualifies": the same draws as the plain loop for seeded
// generators, whatever qualifies, and an end for a generator that never draws a match.
TEST(Random, DrawUntilDrawsAsThePlainLoopAndEndsForAnyGenerator) {
  std::mt19937 setup(77);
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    const int32_t n = 1 + static_cast<int32_t>(setup() % 1001);
    std::vector<bool> ok(static_cast<std::size_t>(n));
    const uint32_t density = 1 + setup() % 50;  // one in 1 to 50 qualifies
    for (auto&& v : ok) v = setup() % density == 0;
    if (seed % 7 == 0) std::fill(ok.begin(), ok.end(), false);
    const auto qualifies = [&](int32_t k) { return static_cast<bool>(ok[static_cast<std::size_t>(k)]); };
    core::Rng plain(seed), bounded(seed);
    int32_t expected = -1;
    if (std::find(ok.begin(), ok.end(), true) != ok.end()) {
      expected = plain.Random(n);
      while (!qualifies(expected)) expected = plain.Random(n);
    }
    ASSERT_EQ(core::DrawUntil(bounded, n, qualifies), expected) << seed;
    ASSERT_EQ(bounded, plain) << seed;  // as many draws, none when nothing qualifies
  }

  struct Stuck {  // every draw the same number
    int32_t value;
    int draws = 0;
    int32_t Random(int32_t) { ++draws; return value; }
  };
  for (int32_t stuck : {0, 3, 1000}) {
    Stuck gen{stuck};
    const int32_t k = core::DrawUntil(gen, 1001, [](int32_t slot) { return slot == 500 || slot == 501; });
    EXPECT_TRUE(k == 500 || k == 501) << k;
    EXPECT_EQ(gen.draws, core::kMaxRedraws + 1);
    Stuck none{stuck};
    EXPECT_EQ(core::DrawUntil(none, 1001, [](int32_t) { return false; }), -1);
    EXPECT_EQ(none.draws, 0);
  }
}
