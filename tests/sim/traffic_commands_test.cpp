#include <gtest/gtest.h>

#include "sim_support.h"

using testing_support::PlainType;
using testing_support::SimFixture;

namespace {

// The first building, and a spaceport type that the tests flag in the placed table.
std::map<int, core::building> Types() {
  auto home = PlainType(0);
  auto port = PlainType(1);
  port.spaceport = true;
  port.sssize = 1;
  return {{0, home}, {1, port}};
}

TEST(SimTraffic, ShipPrintsTheStateAndEveryCraft) {
  SimFixture sim(Types());
  const auto r = sim.One("ship");
  EXPECT_EQ(r["ship_state"], 0);
  EXPECT_EQ(r["trade_ship"], (nlohmann::json{{"x", 0.0}, {"y", 0.0}, {"height", 60.0}, {"visible", true}}));
  ASSERT_EQ(r["pirates"].size(), 3u);
  for (const auto& p : r["pirates"]) {
    EXPECT_EQ(p["x"], -10.0);
    EXPECT_EQ(p["height"], 20.0);
    EXPECT_EQ(p["visible"], false);
  }
}

TEST(SimTraffic, ShuttlesPrintsTheTenRecordsWithEveryField) {
  SimFixture sim(Types());
  sim.session.game.placed[0].x = 4;
  sim.session.game.placed[0].y = 6;
  sim.session.traffic.AddShuttle();
  const auto r = sim.One("shuttles");
  ASSERT_TRUE(r.is_array());
  ASSERT_EQ(r.size(), 10u);
  for (const char* key : {"x1", "y1", "x2", "y2", "x", "y", "height", "speed", "speedx", "speedy", "angle",
                          "desangle", "state", "active", "aligned"})
    EXPECT_TRUE(r[0].contains(key)) << key;
  EXPECT_EQ(r[0]["active"], true);
  EXPECT_EQ(r[0]["x"], 80.0);
  EXPECT_EQ(r[0]["y"], 120.0);
  EXPECT_EQ(r[0]["height"], 40.0);
  EXPECT_EQ(r[0]["state"], 2);
  for (int i = 1; i < 10; ++i) EXPECT_EQ(r[i]["active"], false) << i;
}

TEST(SimTraffic, FramesMoveTheCraftWithTheGivenFrameTimeAndPassNoDay) {
  SimFixture sim(Types());
  sim.Run("events off\nnew 10");
  core::Game& g = sim.session.game;
  const int day = g.day;
  g.placed[0].x = 3;
  g.placed[0].y = 3;
  g.placed[1] = g.catalog[1];
  g.placed[1].exists = true;
  g.placed[1].x = 9;
  g.placed[1].y = 12;
  sim.session.traffic.AddShuttle();
  sim.session.traffic.SendPirates();
  sim.session.traffic.CallShip();

  auto r = sim.Run("frames 10 0.1\nship\nshuttles");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.size(), 2u);
  const auto& ship = r.out[0];
  EXPECT_EQ(ship["pirates"][0]["x"], 550.0);
  EXPECT_EQ(ship["pirates"][1]["x"], 530.0);
  EXPECT_EQ(ship["pirates"][2]["y"], 360.0);
  EXPECT_EQ(ship["pirates"][0]["visible"], true);
  EXPECT_EQ(ship["ship_state"], -1);
  EXPECT_EQ(ship["trade_ship"]["x"], 180.0);
  EXPECT_EQ(ship["trade_ship"]["y"], 240.0);
  EXPECT_LT(ship["trade_ship"]["height"].get<double>(), 60.0);
  EXPECT_NEAR(r.out[1][0]["height"].get<double>(), 40 - 3.0, 1e-9);
  EXPECT_EQ(g.day, day);

  // The default frame time is 1/60 s: 60 frames move a pirate ship by 50 units.
  r = sim.Run("frames 60\nship");
  EXPECT_NEAR(r.out[0]["pirates"][0]["x"].get<double>(), 500.0, 1e-3);
}

TEST(SimTraffic, FramesGlideTheWarningIndicators) {
  SimFixture sim(Types());
  core::Game& g = sim.session.game;
  for (auto& w : g.warnings) w.y = 0;
  sim.Run("frames 1");
  for (const auto& w : g.warnings) EXPECT_GT(w.y, 0);
  sim.Run("frames 500");
  const auto settled = g.warnings;
  sim.Run("frames 5");
  EXPECT_EQ(g.warnings, settled);
}

TEST(SimTraffic, ARaidAndATradeSendTheShips) {
  SimFixture sim(Types());
  core::Game& g = sim.session.game;
  sim.Run("events off\nnew 10");
  g.placed[7].spaceport = true;  // a freed slot that once held a spaceport
  g.placed[7].x = 2;
  g.placed[7].y = 5;
  const auto r = sim.Run("event 4\nbuy food 0\nship");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto& ship = r.out.back();
  EXPECT_EQ(ship["pirates"][0]["x"], 600.0);
  EXPECT_EQ(ship["pirates"][1]["x"], 580.0);
  EXPECT_EQ(ship["ship_state"], -1);
  EXPECT_EQ(ship["trade_ship"]["x"], 40.0);
  EXPECT_EQ(ship["trade_ship"]["y"], 100.0);

  // A visit ends after a few hundred frames whatever their length; the ship is idle at 60.
  const auto back = sim.One("frames 800 0.5\nship");
  EXPECT_EQ(back["ship_state"], 0);
  EXPECT_EQ(back["trade_ship"]["height"], 60.0);
  for (const auto& p : back["pirates"]) EXPECT_EQ(p["visible"], false);
}

TEST(SimTraffic, FramesRejectBadArguments) {
  SimFixture sim(Types());
  for (const char* line : {"frames", "frames -1", "frames x", "frames 2 abc", "frames 2 -0.1", "frames 2 inf",
                           "frames 2 nan", "frames 1 2 3", "ship now", "shuttles 1"}) {
    const auto r = sim.Run(line);
    EXPECT_EQ(r.status, 1) << line;
    EXPECT_NE(r.err.find("error: line 1:"), std::string::npos) << line;
  }
  EXPECT_EQ(sim.Run("frames 0").status, 0);
}

}  // namespace
