#include "traffic/traffic.h"

namespace traffic {

int Traffic::ActiveShuttles() const { return traffic::ActiveShuttles(shuttles_); }

void Traffic::AddShuttle() { traffic::AddShuttle(shuttles_, game_); }

void Traffic::CallShip() { traffic::CallShip(ships_, game_); }

void Traffic::SendPirates() { traffic::SendPirates(ships_); }

void Traffic::ProcessPirates(double dt) { traffic::ProcessPirates(ships_, game_, dt); }

void Traffic::ShuttleAI(double dt) { traffic::ShuttleAI(shuttles_, game_, dt); }

void Traffic::TradeShipStep() { traffic::TradeShipStep(ships_); }

void Traffic::Frame(double dt) {
  ProcessPirates(dt);
  ShuttleAI(dt);
  TradeShipStep();
}

}  // namespace traffic
