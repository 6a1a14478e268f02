#pragma once
#include <cstdint>

#include "core/game.h"

namespace core {

// Random events, disasters and raids: numbers 4 to 9 name one, every other does nothing.
void MakeEvent(Game& g, int32_t event);

// Re-evaluates the five warning indicators from the colony state (end of the daily tick).
void EvaluateWarnings(Game& g);

// Once per frame: glides the warning indicators toward their places.
void ProcessWarnings(Game& g);

// Once per frame while a game runs: ends it on bankruptcy or when its time is up,
// with the score and the game-over message.
void CheckGameover(Game& g);

}  // namespace core
