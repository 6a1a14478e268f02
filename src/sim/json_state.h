#pragma once
#include <nlohmann/json.hpp>

#include "core/game.h"

namespace sim {

// Every field of a building record under its own name.
nlohmann::json BuildingJson(const core::building& b);
// Every game-state and colony-state variable under its own name.
nlohmann::json StateJson(const core::Game& g);

}  // namespace sim
