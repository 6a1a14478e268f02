#include "core/numeric.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <sstream>

namespace core {

int32_t Round(double x) {
  const float f = static_cast<float>(x);
  if (std::isnan(f)) return 0;
  if (std::isinf(f)) return f > 0 ? INT32_MAX : INT32_MIN;
  // nearbyint honours the current rounding mode, which is to-nearest-even by default.
  const double r = std::nearbyint(static_cast<double>(f));
  if (r >= 9.2e18 || r <= -9.2e18) return r > 0 ? INT32_MAX : INT32_MIN;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(r)));
}

int32_t Rng::Random(int32_t n) {
  if (n == 0) return 0;
  const uint64_t u = gen_();  // 32 random bits
  return static_cast<int32_t>((static_cast<int64_t>(u) * n) >> 32);
}

std::string Rng::State() const {
  std::ostringstream s;
  s << gen_;
  return s.str();
}

bool Rng::SetState(const std::string& state) {
  // Every word a 32-bit decimal and exactly as many as State() writes, so nothing the
  // stream would quietly accept (signs, wider numbers, junk) gets into the engine.
  static const std::size_t kWords = [] {
    std::istringstream s(Rng().State());
    std::size_t n = 0;
    for (std::string w; s >> w;) ++n;
    return n;
  }();
  std::size_t words = 0;
  uint64_t last = 0;
  // The recurrence reads the first word's top bit and every other word whole; zero there
  // is a fixed point that draws only zeros.
  bool live = false;
  for (std::size_t i = 0; i < state.size();) {
    if (state[i] == ' ') {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < state.size() && state[end] >= '0' && state[end] <= '9') ++end;
    if (end == i || end - i > 10 || (end < state.size() && state[end] != ' ')) return false;
    uint64_t v = 0;
    std::from_chars(state.data() + i, state.data() + end, v);
    if (v > 0xFFFFFFFFu) return false;
    if (words + 1 < kWords) live = live || (words == 0 ? (v & 0x80000000u) != 0 : v != 0);
    last = v;
    ++words;
    i = end;
  }
  // The last word is the engine's position in its block of words.
  if (words != kWords || last > kWords - 1 || !live) return false;
  std::istringstream in(state);
  std::mt19937 gen;
  in >> gen;
  if (in.fail()) return false;
  // Whatever the engine does not read back the same is not its state.
  std::ostringstream again;
  again << gen;
  std::istringstream a(again.str()), b(state);
  for (std::string x, y;;) {
    const bool more_a = static_cast<bool>(a >> x), more_b = static_cast<bool>(b >> y);
    if (more_a != more_b) return false;
    if (!more_a) break;
    if (x != y) return false;
  }
  gen_ = gen;
  return true;
}

}  // namespace core
