#include "traffic/ships.h"

#include <cfloat>
#include <cmath>

namespace traffic {
namespace {

// The scene keeps single precision; a double beyond its range becomes an infinity rather
// than an undefined conversion (a frame time of hours sends a pirate that far).
float ToSingle(double v) {
  if (v > FLT_MAX) return INFINITY;
  if (v < -FLT_MAX) return -INFINITY;
  return static_cast<float>(v);
}

}  // namespace

void SendPirates(Ships& ships) {
  // The middle ship leads by 20 units.
  ships.pirates[0].x = 600.0f;
  ships.pirates[1].x = 580.0f;
  ships.pirates[2].x = 600.0f;
}

void ProcessPirates(Ships& ships, core::Game& g, double dt) {
  for (int i = 0; i < kPirateCount; ++i) {
    craft& p = ships.pirates[i];
    if (p.x > kPirateGone) {
      p.x = ToSingle(static_cast<double>(p.x) - kPirateSpeed * dt);
      p.visible = true;
      if (g.Random(100) < kLaserChance) g.host->PlaySound("snd_laser");
    } else {
      p.visible = false;
    }
    if (p.y != PirateLane(i)) p.y = PirateLane(i);
    if (p.height != kPirateHeight) p.height = kPirateHeight;
  }
}

bool CallShip(Ships& ships, core::Game& g) {
  if (ships.ship_state != kShipIdle) return false;  // on a visit: trades do not move it
  // Slots are drawn until one is flagged; without one the ship stays where it is.
  const int32_t k =
      core::DrawUntil(g.rng, core::kPlacedSize, [&](int32_t slot) { return g.placed[slot].spaceport; });
  if (k < 0) return false;

  ships.ship_state = kShipDescending;
  // The slot's flag alone decides, so a freed slot keeps receiving the ship.
  ships.trade_ship.x = static_cast<float>(20 * g.placed[k].x);
  ships.trade_ship.y = static_cast<float>(20 * g.placed[k].y);
  return true;
}

void TradeShipStep(Ships& ships) {
  if (ships.ship_state == kShipIdle) return;
  const double h0 = ships.trade_ship.height;
  double h = h0 + std::fabs(h0 / 120) * ships.ship_state;
  if (h < 3) ships.ship_state = kShipClimbing;
  if (h > kTradeShipIdleHeight && ships.ship_state == kShipClimbing) {
    h = kTradeShipIdleHeight;
    ships.ship_state = kShipIdle;
  }
  ships.trade_ship.height = ToSingle(h);
}

}  // namespace traffic
