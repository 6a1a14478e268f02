#pragma once
#include <array>
#include <cstdint>

#include "core/game.h"

namespace traffic {

// Where a visiting craft's scene object stands and whether it is drawn. Scene coordinates
// are single precision; the steps compute in double and store singles, as the scene does.
struct craft {
  float x = 0, y = 0;
  float height = 0;
  bool visible = false;
  bool operator==(const craft&) const = default;
};

inline constexpr int kPirateCount = 3;
// A pirate ship is in flight while its x is greater than this; parked ships wait here.
inline constexpr float kPirateGone = -10.0f;
inline constexpr float kPirateHeight = 20.0f;
inline constexpr float kPirateSpeed = 50.0f;  // units per second, toward -x
// Each ship in flight fires in this many frames out of 100.
inline constexpr int32_t kLaserChance = 3;
inline constexpr float kTradeShipIdleHeight = 60.0f;

// Lane of pirate ship i.
inline float PirateLane(int i) { return 240.0f + 60.0f * static_cast<float>(i); }

// `ship_state` values.
enum ShipState : int32_t { kShipIdle = 0, kShipDescending = -1, kShipClimbing = 1 };

// The trade ship, the pirate ships and `ship_state`. Nothing here feeds back into the colony.
struct Ships {
  int32_t ship_state = kShipIdle;
  craft trade_ship{0, 0, kTradeShipIdleHeight, true};  // always drawn
  std::array<craft, kPirateCount> pirates{{{kPirateGone, 0, kPirateHeight, false},
                                           {kPirateGone, 0, kPirateHeight, false},
                                           {kPirateGone, 0, kPirateHeight, false}}};
  bool operator==(const Ships&) const = default;
};

// A raid sends the three ships off from the far side; a raid during a raid restarts them.
void SendPirates(Ships& ships);

// Once per frame: the ships in flight move left and fire now and then (sound only); the
// others are hidden. Lanes and height are put right on every frame.
void ProcessPirates(Ships& ships, core::Game& g, double dt);

// First step of every buy or sell: an idle trade ship is sent down onto a slot whose record
// has the spaceport flag (a demolished spaceport's slot too). With no such slot anywhere the
// ship stays idle. Returns true when the ship was sent.
bool CallShip(Ships& ships, core::Game& g);

// Once per frame: a visiting ship sinks or climbs by 1/120 of its height (per frame, not
// per second) and is idle again once back at its cruising height.
void TradeShipStep(Ships& ships);

}  // namespace traffic
