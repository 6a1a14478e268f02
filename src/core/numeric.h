#pragma once
#include <cstdint>
#include <random>
#include <string>

namespace core {

// Converts to single precision, then rounds to the nearest integer, halves to even.
// Values beyond the 32-bit range wrap like the rest of the integer rules; NaN gives 0.
int32_t Round(double x);

// The game's one source of randomness.
class Rng {
 public:
  explicit Rng(uint32_t seed = 1) : gen_(seed) {}
  void Seed(uint32_t seed) { gen_.seed(seed); }
  // Uniform integer with 0 <= r < n; Random(0) is 0. A negative n gives n < r <= 0 mirrored
  // (n <= r < 0), so a negative bound in a data file never crashes.
  int32_t Random(int32_t n);

  // The generator's exact state as text (the engine's 624 words and its position), so a
  // saved game draws on with the very numbers it would have drawn.
  std::string State() const;
  // Restores a state State() wrote; false, with the generator unchanged, for any other text
  // and for the one state no seed leads to: every bit the engine's recurrence reads zero,
  // from which it draws nothing but zeros for ever.
  bool SetState(const std::string& state);
  bool operator==(const Rng&) const = default;

 private:
  std::mt19937 gen_;
};

// Draws past this many are a generator stuck on numbers no seeded one keeps drawing: with
// one qualifying value among 1001 the odds of needing more are below 1e-28.
inline constexpr int kMaxRedraws = 1 << 16;

// The rules' "draw Random(n) until the value qualifies": the very same draws for as long as
// a seeded generator needs them, yet bounded for any generator. After kMaxRedraws misses one
// more draw picks among the qualifying values. -1, with no draw spent, when none qualifies.
// (Any generator with Random(n) will do, so tests can hand it one that is stuck.)
template <class Generator, class Qualifies>
int32_t DrawUntil(Generator& rng, int32_t n, Qualifies qualifies) {
  int32_t count = 0;
  for (int32_t k = 0; k < n; ++k) count += qualifies(k) ? 1 : 0;
  if (count == 0) return -1;
  for (int draws = 0; draws < kMaxRedraws; ++draws) {
    const int32_t k = rng.Random(n);
    if (qualifies(k)) return k;
  }
  int32_t pick = rng.Random(count);
  if (pick < 0 || pick >= count) pick = 0;
  for (int32_t k = 0;; ++k)
    if (qualifies(k) && pick-- == 0) return k;
}

}  // namespace core
