#include "sim/json_state.h"

#include "core/state_fields.h"

namespace sim {

nlohmann::json BuildingJson(const core::building& b) {
  nlohmann::json j = nlohmann::json::object();
  for (const auto& f : core::BuildingFields())
    std::visit([&](auto member) { j[std::string(f.name)] = b.*member; }, f.member);
  return j;
}

nlohmann::json StateJson(const core::Game& g) {
  nlohmann::json j = nlohmann::json::object();
  for (const auto& f : core::StateFields())
    std::visit([&](auto member) { j[std::string(f.name)] = g.*member; }, f.member);
  return j;
}

}  // namespace sim
