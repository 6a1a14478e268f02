#pragma once
#include <cstdint>

#include "core/game.h"

namespace core {

inline constexpr int32_t kLevelEasy = 10;
inline constexpr int32_t kLevelNormal = 5;
inline constexpr int32_t kLevelHard = 1;

// Starts a new game at `level` (10 easy, 5 normal, 1 hard). Throws DataError when the
// catalog cannot be loaded; the colony is then left as it was.
void StartNewGame(Game& g, int32_t level);

// The day clock: one progress step with `deltaTime` seconds of clock time. Every
// `day_length` seconds a day passes (excess time is dropped) and, while a game runs,
// the day of the month advances and the economy tick runs.
void GLCadencer1Progress(Game& g, double deltaTime);

// The speed commands.
inline constexpr double kSpeedLow = 12.0;
inline constexpr double kSpeedNormal = 3.0;
inline constexpr double kSpeedFast = 0.5;

}  // namespace core
