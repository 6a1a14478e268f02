#include "core/numeric.h"

#include <cfenv>
#include <cmath>

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

}  // namespace core
