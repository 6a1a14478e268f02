#pragma once
#include <array>
#include <cstdint>

#include "core/game.h"

namespace traffic {

inline constexpr int kShuttleCount = 10;

// Heights above the ground a shuttle passes through.
inline constexpr double kShuttleGround = 2.0;
inline constexpr double kShuttleCruise = 15.0;
inline constexpr double kShuttleEntry = 40.0;

enum ShuttleState : int32_t { kClimbing = 0, kCruising = 1, kDescending = 2 };

// One shuttle: pure scenery, it carries nothing and changes no colony value. Coordinates
// are scene units of the colony plane (cell (cx, cy) stands at (20 cx, 20 cy)).
struct shuttle {
  double x1 = 0, y1 = 0;  // start point of the current flight
  double x2 = 0, y2 = 0;  // destination
  double x = 0, y = 0;    // where it is now
  double height = 0;
  double speed = 0;  // 10 x the last moving frame's time; only the monitor shows it
  double speedx = 0, speedy = 0;  // step of the last moving frame
  double angle = 0;     // heading in degrees, drawn as the plane's roll
  double desangle = 0;  // heading toward the destination, (-180, 180]
  int32_t state = kClimbing;
  bool active = false;
  bool aligned = false;

  bool operator==(const shuttle&) const = default;
};

// Records are never cleared: a shuttle once started flies for the rest of the run,
// across new games too.
using Shuttles = std::array<shuttle, kShuttleCount>;

int ActiveShuttles(const Shuttles& shuttles);

// Starts a shuttle in the first free slot, sinking onto the cell of the building record in
// slot 0 (whether that slot holds a building or not). Does nothing when all ten fly.
void AddShuttle(Shuttles& shuttles, const core::Game& g);

// Advances every active shuttle by one frame of `dt` seconds. Turning is one degree per
// frame whatever dt; climbing, sinking and cruising scale with dt.
void ShuttleAI(Shuttles& shuttles, core::Game& g, double dt);

}  // namespace traffic
