#include "traffic/shuttles.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/numeric.h"

namespace traffic {
namespace {

// Scene position of a grid coordinate (integer product, as the grid rules are 32-bit).
double CellToScene(int32_t cell) { return static_cast<double>(20 * cell); }

// Slot 1000 is never a destination: the draw covers slots 0..999 only.
constexpr int kDestinationSlots = core::kPlacedSize - 1;

bool Qualifies(double from_x, double from_y, const core::building& b) {
  return std::fabs(from_x - CellToScene(b.x)) >= 10 && std::fabs(from_y - CellToScene(b.y)) >= 10;
}

// Draws slots until one holds a building off the landing point's row and column, the
// game's usual draws; false, with no draw spent, when there is no such building.
bool ChooseDestination(shuttle& s, core::Game& g) {
  const int32_t d = core::DrawUntil(g.rng, kDestinationSlots, [&](int32_t k) {
    return g.placed[k].exists && Qualifies(s.x, s.y, g.placed[k]);
  });
  if (d < 0) return false;
  s.x1 = s.x;
  s.y1 = s.y;
  s.x2 = CellToScene(g.placed[d].x);
  s.y2 = CellToScene(g.placed[d].y);
  s.aligned = false;
  return true;
}

void Climb(shuttle& s, double dt) {
  if (s.height < kShuttleCruise) s.height += 2 * dt;
  if (s.height >= kShuttleCruise) {
    s.height = kShuttleCruise;
    s.state = kCruising;
  }
}

void Cruise(shuttle& s, double dt) {
  s.desangle = std::atan2(s.y2 - s.y1, s.x2 - s.x1) * (180.0 / std::numbers::pi);
  // A heading of exactly -180 is the same as 180, which is the one the range includes.
  if (s.desangle == -180.0) s.desangle = 180.0;

  // One degree per frame along the numeric difference, never across +-180.
  if (s.angle == s.desangle) {
    s.aligned = true;
  } else {
    s.angle += s.desangle >= s.angle ? 1.0 : -1.0;
    if (s.desangle - 3 <= s.angle && s.angle <= s.desangle + 3) {
      s.angle = s.desangle;
      s.aligned = true;
    }
  }
  if (!s.aligned) return;  // hovers while turning

  s.speed = 10 * dt;
  // Both steps share the x distance's divisor so the flight stays on the straight line.
  // Destinations are at least 10 units off in x, which can round to 0 cells when a coarse
  // frame landed the shuttle far off its cell; one cell is then the least divisor.
  double n = std::fabs(static_cast<double>(core::Round((s.x1 - s.x2) / 20)));
  n = std::max(n, 1.0);
  s.speedx = dt * (s.x2 - s.x1) / (5 * n);
  s.speedy = dt * (s.y2 - s.y1) / (5 * n);
  s.x += s.speedx;
  s.y += s.speedy;

  // A long frame takes long steps; the tolerance grows with them so none jumps past.
  double tolerance = 5;
  const double step = std::max(std::fabs(s.speedx), std::fabs(s.speedy));
  if (step >= 5) tolerance = 1.1 * step;
  if (std::fabs(s.x - s.x2) < tolerance && std::fabs(s.y - s.y2) < tolerance) s.state = kDescending;
}

void Descend(shuttle& s, core::Game& g, double dt) {
  if (s.height > kShuttleGround) s.height -= 3 * dt;
  if (s.height <= kShuttleGround) {
    s.height = kShuttleGround;
    // Landed. With nowhere to go it keeps its descending state at ground height, so this
    // step looks for a destination again on every later frame.
    if (ChooseDestination(s, g)) s.state = kClimbing;
  }
}

}  // namespace

int ActiveShuttles(const Shuttles& shuttles) {
  return static_cast<int>(std::count_if(shuttles.begin(), shuttles.end(), [](const shuttle& s) { return s.active; }));
}

void AddShuttle(Shuttles& shuttles, const core::Game& g) {
  const auto free = std::find_if(shuttles.begin(), shuttles.end(), [](const shuttle& s) { return !s.active; });
  if (free == shuttles.end()) return;
  const core::building& home = g.placed[0];
  shuttle& s = *free;
  s.active = true;
  s.x = CellToScene(home.x);
  s.y = CellToScene(home.y);
  s.height = kShuttleEntry;
  s.x1 = 0;
  s.y1 = 0;
  s.x2 = CellToScene(home.x);
  s.y2 = CellToScene(home.y);
  s.state = kDescending;
  s.aligned = false;
}

void ShuttleAI(Shuttles& shuttles, core::Game& g, double dt) {
  for (shuttle& s : shuttles) {
    if (!s.active) continue;
    // Each step sees the state the previous one left.
    if (s.state == kClimbing) Climb(s, dt);
    if (s.state == kCruising) Cruise(s, dt);
    if (s.state == kDescending) Descend(s, g, dt);
  }
}

}  // namespace traffic
