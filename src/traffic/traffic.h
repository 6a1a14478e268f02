#pragma once
#include "core/game.h"
#include "core/host.h"
#include "traffic/ships.h"
#include "traffic/shuttles.h"

namespace traffic {

// Every craft over the colony: the shuttles, the trade ship and the pirate ships. It serves
// one game, whose rules reach it through `game.traffic` (the owner sets that pointer), and
// the frame loop moves it. Its state lives for the whole run: a new game keeps it.
class Traffic : public core::TrafficLink {
 public:
  explicit Traffic(core::Game& game) : game_(game) {}
  Traffic(const Traffic&) = delete;
  Traffic& operator=(const Traffic&) = delete;

  // --- what the rules call (core::TrafficLink)
  int ActiveShuttles() const override;
  void AddShuttle() override;
  void CallShip() override;
  void SendPirates() override;

  // --- the per-frame steps, each at its own place in the frame loop:
  // pirates early, shuttles after the warnings, the trade ship near the end.
  void ProcessPirates(double dt);
  void ShuttleAI(double dt);
  void TradeShipStep();
  // The three steps above in frame-loop order, for callers that run nothing in between.
  void Frame(double dt);

  // --- what the scene and the shuttle monitor read
  const Shuttles& shuttles() const { return shuttles_; }
  const Ships& ships() const { return ships_; }
  int32_t ship_state() const { return ships_.ship_state; }

  // Direct access for tests and scripts that set up a situation.
  Shuttles& shuttles() { return shuttles_; }
  Ships& ships() { return ships_; }

 private:
  core::Game& game_;
  Shuttles shuttles_{};
  Ships ships_{};
};

}  // namespace traffic
