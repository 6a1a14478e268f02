// Commands that look at the craft over the colony and run frames of the frame loop.
#include <cmath>

#include "sim/interpreter.h"
#include "traffic/traffic.h"

namespace sim {
namespace {

using Args = Interpreter::Args;

nlohmann::json CraftJson(const traffic::craft& c) {
  return {{"x", c.x}, {"y", c.y}, {"height", c.height}, {"visible", c.visible}};
}

nlohmann::json ShuttleJson(const traffic::shuttle& s) {
  return {{"x1", s.x1},       {"y1", s.y1},         {"x2", s.x2},         {"y2", s.y2},
          {"x", s.x},         {"y", s.y},           {"height", s.height}, {"speed", s.speed},
          {"speedx", s.speedx}, {"speedy", s.speedy}, {"angle", s.angle},   {"desangle", s.desangle},
          {"state", s.state}, {"active", s.active}, {"aligned", s.aligned}};
}

}  // namespace

void RegisterTrafficCommands(Interpreter& in) {
  in.Register("ship", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    const traffic::Ships& ships = in.session().traffic.ships();
    nlohmann::json pirates = nlohmann::json::array();
    for (const auto& p : ships.pirates) pirates.push_back(CraftJson(p));
    in.Print({{"ship_state", ships.ship_state}, {"trade_ship", CraftJson(ships.trade_ship)}, {"pirates", pirates}});
  });
  in.Register("shuttles", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    nlohmann::json list = nlohmann::json::array();
    for (const auto& s : in.session().traffic.shuttles()) list.push_back(ShuttleJson(s));
    in.Print(list);
  });
  // Frames as the window's idle processing runs them, without drawing: the day clock (which
  // passes a day whenever a day's length of time has gone by and no message or pause holds
  // it), then the whole frame loop.
  in.Register("frames", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 2);
    const int n = Interpreter::ArgInt(a, 0, "frame count");
    if (n < 0) throw CommandError("frame count must not be negative");
    const double dt = a.size() > 1 ? Interpreter::ArgDouble(a, 1, "frame time") : 1.0 / 60;
    if (!std::isfinite(dt) || dt < 0) throw CommandError("frame time must be a finite number of seconds, 0 or more");
    presentation::World& world = in.session().world;
    for (int i = 0; i < n; ++i) world.Progress(dt);
  });
}

}  // namespace sim
