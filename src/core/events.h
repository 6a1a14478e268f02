#pragma once
#include <cstdint>

#include "core/game.h"

namespace core {

// Random events, disasters and raids: numbers 4 to 9 name one, every other does nothing.
void MakeEvent(Game& g, int32_t event);

// Re-evaluates the five warning indicators from the colony state (end of the daily tick).
void EvaluateWarnings(Game& g);

}  // namespace core
