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
  // Restores a state State() wrote; false, with the generator unchanged, for any other text.
  bool SetState(const std::string& state);
  bool operator==(const Rng&) const = default;

 private:
  std::mt19937 gen_;
};

}  // namespace core
