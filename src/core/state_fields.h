#pragma once
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/game.h"

namespace core {

// The game-state and colony-state variables by their names, for scripts and tools that
// read or set them without knowing the struct.
struct StateField {
  std::string_view name;
  std::variant<int32_t Game::*, double Game::*, bool Game::*, std::string Game::*> member;
};

const std::vector<StateField>& StateFields();
const StateField* FindStateField(std::string_view name);

// The building record's fields by name, in declaration order.
struct BuildingField {
  std::string_view name;
  std::variant<int32_t building::*, bool building::*, std::string building::*> member;
};
const std::vector<BuildingField>& BuildingFields();

}  // namespace core
